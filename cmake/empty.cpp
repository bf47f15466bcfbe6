// Compiled into a folder library that has no sources of its own yet.
