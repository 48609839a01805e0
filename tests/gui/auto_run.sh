#!/bin/sh
# velarix-gui on the sample day in auto mode, as a user starts it: it must process the
# day, show its plots and close by itself with status 0. Runs on a copy of examples/.
#   auto_run.sh VELARIX_GUI EXAMPLES_DIR WORK_DIR
set -u
gui=$1 examples=$2 work=$3
rm -rf "$work" && mkdir -p "$work" || exit 1
cp "$examples"/*.20o "$examples"/*.20n "$examples"/*.DCB.Z "$work"/ || exit 1
timeout 90 "$gui" --settings "$work/none.ini" --images tec24,prn,bias "$work/bjfs0010.20o" auto >"$work/output.txt" 2>&1
status=$?
if [ $status -ne 0 ]; then
    echo "velarix-gui ended with status $status"
    cat "$work/output.txt"
    exit 1
fi
count=$(ls "$work"/*.png 2>/dev/null | wc -l)
if [ "$count" -lt 3 ]; then
    echo "expected the day's plots in $work, found $count PNG files"
    exit 1
fi
grep -q "Task complete" "$work/Log_file.txt" || { echo "no 'Task complete' in $work/Log_file.txt"; exit 1; }
echo "velarix-gui processed the day and closed by itself ($count plots)"
