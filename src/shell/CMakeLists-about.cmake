# The About box, the readme dialog, and the registry file behind "System Info".
# Include after borvessa_ui exists.
target_sources(borvessa_ui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/ProductInfo.h ${CMAKE_CURRENT_LIST_DIR}/ProductInfo.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Registry.h ${CMAKE_CURRENT_LIST_DIR}/Registry.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SysInfo.h ${CMAKE_CURRENT_LIST_DIR}/SysInfo.cpp
    ${CMAKE_CURRENT_LIST_DIR}/frmAbout.h ${CMAKE_CURRENT_LIST_DIR}/frmAbout.cpp
    ${CMAKE_CURRENT_LIST_DIR}/frmReadme.h ${CMAKE_CURRENT_LIST_DIR}/frmReadme.cpp)
target_include_directories(borvessa_ui PUBLIC ${CMAKE_CURRENT_LIST_DIR})

# The product picture at the sizes the windows show as the program starts,
# drawn by the icon generator when the program is built and kept as plain
# pixels (uncompressed), so that a start copies them instead of drawing.
set(_borvessa_built_in ${CMAKE_CURRENT_BINARY_DIR}/product-pictures)
set(_borvessa_built_in_files ${_borvessa_built_in}/product-64.argb ${_borvessa_built_in}/product-200.argb)
add_custom_command(OUTPUT ${_borvessa_built_in_files}
    COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0
            $<TARGET_FILE:borvessa-genicons> --built-in ${_borvessa_built_in}
    DEPENDS borvessa-genicons
    COMMENT "Drawing the built-in product pictures"
    VERBATIM)
qt_add_resources(borvessa_ui "product" PREFIX "/borvessa" BASE ${_borvessa_built_in}
    OPTIONS --no-compress FILES ${_borvessa_built_in_files})
