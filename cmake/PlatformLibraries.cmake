# The operating system's libraries that the platform layer needs.
if(WIN32)
  # Shutdown (advapi32, user32), the shell's folder dialog (shell32, ole32).
  target_link_libraries(tavrin_platform PUBLIC advapi32 user32 shell32 ole32)
elseif(TAVRIN_WITH_LOGIND)
  # Shutdown requests to systemd-logind over D-Bus (sd-bus), unless the build
  # leaves them out (TAVRIN_WITH_LOGIND OFF).
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(TAVRIN_SYSTEMD REQUIRED IMPORTED_TARGET libsystemd)
  target_link_libraries(tavrin_platform PUBLIC PkgConfig::TAVRIN_SYSTEMD)
endif()

# Screen drawing: GDI and TransparentBlt (msimg32) on Windows; cairo image
# surfaces, pango text with fontconfig fonts and gdk-pixbuf for BMP and PNG
# files elsewhere, unless the build leaves drawing out (TAVRIN_WITH_DRAWING
# OFF).  The colour-key loop is built with vectorisation on.
if(WIN32)
  target_link_libraries(tavrin_platform PUBLIC msimg32 gdi32 user32)
else()
  target_compile_definitions(tavrin_platform PRIVATE
    TAVRIN_INSTALLED_RESOURCES="${CMAKE_INSTALL_FULLDATADIR}/tavrin/resources")
endif()
if(NOT WIN32 AND TAVRIN_WITH_DRAWING)
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(TAVRIN_DRAWING REQUIRED IMPORTED_TARGET cairo pangocairo gdk-pixbuf-2.0)
  target_link_libraries(tavrin_platform PRIVATE PkgConfig::TAVRIN_DRAWING)
  if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
    set_source_files_properties(${TAVRIN_SRC}/platform/posix/gfx_colour_key.cpp
      TARGET_DIRECTORY tavrin_platform PROPERTIES COMPILE_OPTIONS "-O3")
  endif()
endif()
