#pragma once
// A batch allocates and frees the same few tens of megabytes for every day: observation
// tables, TEC series, images of every figure. By default the C library gives large blocks
// back to the system as soon as they are freed (blocks above 128 KiB are mapped on their
// own; the free top of a thread's heap is trimmed), and the next day touches them again
// page by page. On a virtual machine each first touch traps into the kernel, and with
// days side by side on several threads this cost more processor time than the plots. For
// a program whose working set is one day per thread, keeping freed memory for the next
// day is the better trade.
namespace velarix {

// Process-wide: blocks up to 32 MiB come from the heaps, and free memory up to 256 MiB is
// kept by them. For a program's entry point, before any thread starts; false when the C
// library refused a setting.
[[nodiscard]] bool KeepFreedMemoryForReuse();

}  // namespace velarix
