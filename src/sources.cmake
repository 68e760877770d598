# The library's source files, by layer, bottom first (see "How the code is
# laid out" in the README).  Explicit lists: a stray file never joins the DLL.
# Included by the top-level CMakeLists.txt and by fuzz/CMakeLists.txt, with
# TAVRIN_SRC naming this folder.

# The platform layer: the only code that includes OS headers.
set(TAVRIN_PLATFORM_COMMON_SOURCES
  ${TAVRIN_SRC}/platform/live_objects.cpp
  ${TAVRIN_SRC}/platform/profile_text.cpp
  ${TAVRIN_SRC}/platform/settings.cpp
  ${TAVRIN_SRC}/platform/syscalls.cpp
  ${TAVRIN_SRC}/platform/top_level_window.cpp
)
set(TAVRIN_PLATFORM_posix_SOURCES
  ${TAVRIN_SRC}/platform/posix/directory_tree.cpp
  ${TAVRIN_SRC}/platform/posix/dynamic_library.cpp
  ${TAVRIN_SRC}/platform/posix/environment.cpp
  ${TAVRIN_SRC}/platform/posix/file_lock.cpp
  ${TAVRIN_SRC}/platform/posix/file_replace.cpp
  ${TAVRIN_SRC}/platform/posix/folder_dialog.cpp
  ${TAVRIN_SRC}/platform/posix/gfx_support.cpp
  ${TAVRIN_SRC}/platform/posix/host_name.cpp
  ${TAVRIN_SRC}/platform/posix/message_box.cpp
  ${TAVRIN_SRC}/platform/posix/module.cpp
  ${TAVRIN_SRC}/platform/posix/module_path.cpp
  ${TAVRIN_SRC}/platform/posix/process.cpp
  ${TAVRIN_SRC}/platform/posix/profile_string.cpp
  ${TAVRIN_SRC}/platform/posix/serial_device.cpp
  ${TAVRIN_SRC}/platform/posix/text_encoding.cpp
  ${TAVRIN_SRC}/platform/posix/text_file.cpp
  ${TAVRIN_SRC}/platform/posix/top_level_window.cpp
  ${TAVRIN_SRC}/platform/posix/user_language.cpp
  ${TAVRIN_SRC}/platform/posix/windows_path.cpp
)
# Drawing with cairo, pango and gdk-pixbuf, or without (TAVRIN_WITH_DRAWING
# OFF: every drawing call fails); shutdown requests to systemd-logind, or
# without (TAVRIN_WITH_LOGIND OFF: every request is refused).  Both are in
# unless the options say otherwise.
if(NOT DEFINED TAVRIN_WITH_DRAWING OR TAVRIN_WITH_DRAWING)
  list(APPEND TAVRIN_PLATFORM_posix_SOURCES
    ${TAVRIN_SRC}/platform/posix/gfx_colour_key.cpp
    ${TAVRIN_SRC}/platform/posix/gfx_draw.cpp
    ${TAVRIN_SRC}/platform/posix/gfx_files.cpp
    ${TAVRIN_SRC}/platform/posix/gfx_objects.cpp)
else()
  list(APPEND TAVRIN_PLATFORM_posix_SOURCES ${TAVRIN_SRC}/platform/posix/gfx_none.cpp)
endif()
if(NOT DEFINED TAVRIN_WITH_LOGIND OR TAVRIN_WITH_LOGIND)
  list(APPEND TAVRIN_PLATFORM_posix_SOURCES ${TAVRIN_SRC}/platform/posix/shutdown.cpp)
else()
  list(APPEND TAVRIN_PLATFORM_posix_SOURCES ${TAVRIN_SRC}/platform/posix/shutdown_none.cpp)
endif()

set(TAVRIN_PLATFORM_win32_SOURCES
  ${TAVRIN_SRC}/platform/win32/directory_tree.cpp
  ${TAVRIN_SRC}/platform/win32/dynamic_library.cpp
  ${TAVRIN_SRC}/platform/win32/environment.cpp
  ${TAVRIN_SRC}/platform/win32/file_lock.cpp
  ${TAVRIN_SRC}/platform/win32/file_replace.cpp
  ${TAVRIN_SRC}/platform/win32/folder_dialog.cpp
  ${TAVRIN_SRC}/platform/win32/graphics.cpp
  ${TAVRIN_SRC}/platform/win32/host_name.cpp
  ${TAVRIN_SRC}/platform/win32/message_box.cpp
  ${TAVRIN_SRC}/platform/win32/module.cpp
  ${TAVRIN_SRC}/platform/win32/module_path.cpp
  ${TAVRIN_SRC}/platform/win32/process.cpp
  ${TAVRIN_SRC}/platform/win32/profile_string.cpp
  ${TAVRIN_SRC}/platform/win32/serial_device.cpp
  ${TAVRIN_SRC}/platform/win32/shutdown.cpp
  ${TAVRIN_SRC}/platform/win32/text_encoding.cpp
  ${TAVRIN_SRC}/platform/win32/text_file.cpp
  ${TAVRIN_SRC}/platform/win32/top_level_window.cpp
  ${TAVRIN_SRC}/platform/win32/user_language.cpp
  ${TAVRIN_SRC}/platform/win32/windows_path.cpp
)

# Everything above the platform layer, portable.
set(TAVRIN_LIBRARY_SOURCES
  # The CNC library interface: the run-time FOCAS2 binding.
  ${TAVRIN_SRC}/focas2/focas2_binding.cpp
  # util/
  ${TAVRIN_SRC}/util/configuration.cpp
  ${TAVRIN_SRC}/util/files.cpp
  ${TAVRIN_SRC}/util/language.cpp
  ${TAVRIN_SRC}/util/log.cpp
  ${TAVRIN_SRC}/util/numeric.cpp
  ${TAVRIN_SRC}/util/path_split.cpp
  ${TAVRIN_SRC}/util/strings.cpp
  ${TAVRIN_SRC}/util/system.cpp
  ${TAVRIN_SRC}/util/version.cpp
  # nc/
  ${TAVRIN_SRC}/nc/cnc_access.cpp
  ${TAVRIN_SRC}/nc/cnc_params.cpp
  ${TAVRIN_SRC}/nc/error_report.cpp
  ${TAVRIN_SRC}/nc/handles.cpp
  ${TAVRIN_SRC}/nc/macro_vars.cpp
  ${TAVRIN_SRC}/nc/pmc.cpp
  ${TAVRIN_SRC}/nc/tool_offsets.cpp
  # simulation/
  ${TAVRIN_SRC}/simulation/chuck_model.cpp
  ${TAVRIN_SRC}/simulation/jaw_model.cpp
  ${TAVRIN_SRC}/simulation/matrix_line.cpp
  ${TAVRIN_SRC}/simulation/model.cpp
  ${TAVRIN_SRC}/simulation/model_files.cpp
  ${TAVRIN_SRC}/simulation/model_scan.cpp
  ${TAVRIN_SRC}/simulation/model_check.cpp
  ${TAVRIN_SRC}/simulation/pair_replace.cpp
  ${TAVRIN_SRC}/simulation/scan_line.cpp
  ${TAVRIN_SRC}/simulation/sim_files.cpp
  ${TAVRIN_SRC}/simulation/simu_module.cpp
  ${TAVRIN_SRC}/simulation/simu_module_files.cpp
  ${TAVRIN_SRC}/simulation/work_model.cpp
  ${TAVRIN_SRC}/simulation/xml.cpp
  # machine/
  ${TAVRIN_SRC}/machine/mchn.cpp
  ${TAVRIN_SRC}/machine/mchn_atc.cpp
  ${TAVRIN_SRC}/machine/mchn_display_order.cpp
  ${TAVRIN_SRC}/machine/mchn_identity.cpp
  ${TAVRIN_SRC}/machine/mchn_signals.cpp
  ${TAVRIN_SRC}/machine/mchn_status.cpp
  ${TAVRIN_SRC}/machine/mchn_struct_model.cpp
  ${TAVRIN_SRC}/machine/mchn_tool_count.cpp
  # display/
  ${TAVRIN_SRC}/display/back_draw.cpp
  ${TAVRIN_SRC}/display/bmp.cpp
  ${TAVRIN_SRC}/display/dc.cpp
  ${TAVRIN_SRC}/display/font.cpp
  ${TAVRIN_SRC}/display/gdi_object.cpp
  ${TAVRIN_SRC}/display/resources.cpp
  # serial/
  ${TAVRIN_SRC}/serial/com_port.cpp
  # The start-up and the message box seam.
  ${TAVRIN_SRC}/app.cpp
  ${TAVRIN_SRC}/message.cpp)
