#!/bin/sh
# A link launcher that puts one argument at the very end of the link command, after every
# library:
#   link-last.sh LAST LINKER ARGS...   runs   LINKER ARGS... LAST
# (host/CMakeLists.txt: the module's start, whose static initialiser must run last; LAST is
# @FILE, a response file that names its object).
last=$1
shift
exec "$@" "$last"
