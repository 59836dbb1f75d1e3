# The Windows build as it ships, in one zip: `cpack -G ZIP` in the Windows build folder writes
# crumlet-VERSION-windows-x64.zip. The files keep the build's layout (bin\crumlet.exe finds
# ..\module\OrvexCrumlet.dll), with a README for Windows users, the licence, the third-party
# notices and the copyright files of the libraries built in (install component `zip`).
set(zip_staging ${CMAKE_BINARY_DIR}/packaging)
install(FILES $<TARGET_FILE:OrvexCrumlet> ${CMAKE_BINARY_DIR}/module/OrvexCrumlet.json DESTINATION module COMPONENT zip)
install(FILES $<TARGET_FILE:crumlet> $<TARGET_FILE:QuarlSoundEngine> DESTINATION bin COMPONENT zip)
configure_file(${CMAKE_CURRENT_LIST_DIR}/windows/README.txt ${zip_staging}/README.txt @ONLY)
configure_file(${PROJECT_SOURCE_DIR}/LICENSE ${zip_staging}/LICENSE.txt COPYONLY)
install(FILES ${zip_staging}/README.txt ${zip_staging}/LICENSE.txt ${PROJECT_SOURCE_DIR}/THIRD_PARTY_NOTICES.md
  DESTINATION . COMPONENT zip)
# As THIRD_PARTY_NOTICES.md names them: what the Windows binaries compile in and link statically.
foreach(package juce-modules-source libcli11-dev nlohmann-json3-dev zlib1g libpng16-16 libjpeg62-turbo
        mingw-w64-common gcc-mingw-w64-base)
  if(EXISTS /usr/share/doc/${package}/copyright)
    install(FILES /usr/share/doc/${package}/copyright DESTINATION copyright RENAME ${package}.txt COMPONENT zip)
  else()
    message(WARNING "/usr/share/doc/${package}/copyright is missing: the Windows zip goes without it")
  endif()
endforeach()

set(CPACK_GENERATOR ZIP)
set(CPACK_INSTALL_CMAKE_PROJECTS "${CMAKE_BINARY_DIR};Crumlet;zip;/")
set(CPACK_PACKAGE_NAME crumlet)
set(CPACK_PACKAGE_VENDOR Orvex)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME crumlet-${PROJECT_VERSION}-windows-x64)
include(CPack)
