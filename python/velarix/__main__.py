"""python3 -m velarix: the Dask batch runner (see velarix.batch)."""
import sys

from .batch import main

sys.exit(main())
