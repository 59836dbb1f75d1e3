# The files that read a setting's value as a person types it (numbers with units and signs,
# list entries, names with suggestions), in one list: the tool, the Windows tool and the fuzz
# harnesses each compile them, and a reader added here reaches all three.
set(CRUMLET_VALUE_READER_SOURCES
  ${PROJECT_SOURCE_DIR}/cli/settings/ParameterSettings.cpp
  ${PROJECT_SOURCE_DIR}/cli/settings/NameSuggestions.cpp
  ${PROJECT_SOURCE_DIR}/cli/settings/TypedNumber.cpp
  ${PROJECT_SOURCE_DIR}/cli/io/QuotedText.cpp)
