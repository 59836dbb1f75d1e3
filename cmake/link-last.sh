#!/bin/sh
# A link launcher that puts one object at the very end of the link command:
#   link-last.sh OBJECT LINKER ARGS...   runs   LINKER ARGS... OBJECT
# (host/CMakeLists.txt: the module's start, whose static initialiser must run last).
last=$1
shift
exec "$@" "$last"
