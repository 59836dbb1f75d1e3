# Where an installed Crumlet puts its files, relative to the install prefix (/usr in the Debian
# package, packaging/CMakeLists.txt). The tool finds the effect's module from its own folder, so
# the layout holds under any prefix.
set(CRUMLET_INSTALL_BINDIR bin)
# The module, its description and the stand-in host's library: private to Crumlet, in a folder
# of its own under the multiarch library folder where the platform has one.
if(CMAKE_LIBRARY_ARCHITECTURE)
  set(CRUMLET_INSTALL_MODULE_DIR lib/${CMAKE_LIBRARY_ARCHITECTURE}/crumlet)
else()
  set(CRUMLET_INSTALL_MODULE_DIR lib/crumlet)
endif()
file(RELATIVE_PATH CRUMLET_MODULE_DIR_FROM_BINDIR /${CRUMLET_INSTALL_BINDIR} /${CRUMLET_INSTALL_MODULE_DIR})
