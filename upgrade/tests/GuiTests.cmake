# Tests of the Qt program.
