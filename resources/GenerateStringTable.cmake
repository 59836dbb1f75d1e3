# Turns the STRINGTABLE of a resource script into a C++ source that registers the strings
# with the platform layer's LoadStringW under the image it is linked into.
#
#   cmake -DRC_FILE=<script.rc> -DOUTPUT=<file.cpp> -P GenerateStringTable.cmake
#
# Entries are `<id> "<text>"`, one a line; "" inside the text stands for one quote.

cmake_minimum_required(VERSION 3.21)

if(NOT RC_FILE OR NOT OUTPUT)
  message(FATAL_ERROR "GenerateStringTable: RC_FILE and OUTPUT are required")
endif()

file(READ "${RC_FILE}" script)
string(FIND "${script}" "\nSTRINGTABLE" start)
if(start LESS 0)
  message(FATAL_ERROR "GenerateStringTable: no STRINGTABLE in ${RC_FILE}")
endif()
string(SUBSTRING "${script}" ${start} -1 rest)
string(FIND "${rest}" "\nBEGIN" begin)
string(FIND "${rest}" "\nEND" end)
if(begin LESS 0 OR end LESS begin)
  message(FATAL_ERROR "GenerateStringTable: no BEGIN ... END after STRINGTABLE in ${RC_FILE}")
endif()
math(EXPR bodyStart "${begin} + 6")
math(EXPR bodyLength "${end} - ${bodyStart}")
string(SUBSTRING "${rest}" ${bodyStart} ${bodyLength} body)
if(body MATCHES ";")
  message(FATAL_ERROR "GenerateStringTable: ';' is not supported in ${RC_FILE}'s string table")
endif()
string(REPLACE "\r" "" body "${body}")
string(REPLACE "\n" ";" lines "${body}")

set(entries "")
set(ids "")
foreach(line IN LISTS lines)
  string(STRIP "${line}" line)
  if(line STREQUAL "" OR line MATCHES "^//")
    continue()
  endif()
  if(NOT line MATCHES "^([0-9]+)[ \t]*,?[ \t]*\"(.*)\"$")
    message(FATAL_ERROR "GenerateStringTable: cannot read \"${line}\" in ${RC_FILE}")
  endif()
  set(id "${CMAKE_MATCH_1}")
  set(text "${CMAKE_MATCH_2}")
  if(id IN_LIST ids)
    message(FATAL_ERROR "GenerateStringTable: string ${id} appears twice in ${RC_FILE}")
  endif()
  list(APPEND ids "${id}")
  string(REPLACE "\"\"" "\\\"" text "${text}")
  string(APPEND entries "    {${id}, u\"${text}\"},\n")
endforeach()

set(source "// Generated from ${RC_FILE} by GenerateStringTable.cmake: edit the .rc file, not this one.
#include \"platform/DynamicLibrary.h\"
#include \"platform/StringTable.h\"

namespace
{
const platform::StringResource kStrings[] = {
${entries}};

const bool g_stringsRegistered =
    platform::registerStringTable(platform::thisModule(), kStrings, sizeof kStrings / sizeof kStrings[0]);
} // namespace
")

# Rewrite only on change, so that dependants are not rebuilt needlessly.
if(EXISTS "${OUTPUT}")
  file(READ "${OUTPUT}" previous)
  if(previous STREQUAL source)
    return()
  endif()
endif()
file(WRITE "${OUTPUT}" "${source}")
