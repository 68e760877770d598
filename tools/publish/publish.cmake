# tavrin publish (tools/publish): the machine's state to an MQTT broker over
# libmosquitto.  Included by tools/CMakeLists.txt after tavrin/tavrin.cmake,
# it adds its files to the tavrin command; without libmosquitto the command
# says that publish is not built in.
# No libmosquitto for MinGW here: a Windows build says publish is not built in.
find_package(PkgConfig QUIET)
if(PkgConfig_FOUND AND NOT WIN32)
  pkg_check_modules(TAVRIN_MOSQUITTO QUIET IMPORTED_TARGET libmosquitto)
endif()
target_include_directories(tavrin_cli PRIVATE ${CMAKE_CURRENT_LIST_DIR} ${CMAKE_CURRENT_LIST_DIR}/../tavrin)
if(TAVRIN_MOSQUITTO_FOUND)
  target_sources(tavrin_cli PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/items.cpp
    ${CMAKE_CURRENT_LIST_DIR}/machine_reading.cpp
    ${CMAKE_CURRENT_LIST_DIR}/mqtt_link.cpp
    ${CMAKE_CURRENT_LIST_DIR}/publish_command.cpp
    ${CMAKE_CURRENT_LIST_DIR}/publisher.cpp)
  target_link_libraries(tavrin_cli PRIVATE PkgConfig::TAVRIN_MOSQUITTO)
  if(TAVRIN_TOMLPLUSPLUS_INCLUDE_DIR)
    target_include_directories(tavrin_cli SYSTEM PRIVATE ${TAVRIN_TOMLPLUSPLUS_INCLUDE_DIR})
  endif()
else()
  message(WARNING "tavrin publish not built: install libmosquitto-dev (scripts/install-deps.sh)")
  target_sources(tavrin_cli PRIVATE ${CMAKE_CURRENT_LIST_DIR}/publish_unavailable.cpp)
endif()
