# The About box, the readme dialog, and the registry file behind "System Info".
# Include after borvessa_ui exists.
target_sources(borvessa_ui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/ProductInfo.h ${CMAKE_CURRENT_LIST_DIR}/ProductInfo.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Registry.h ${CMAKE_CURRENT_LIST_DIR}/Registry.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SysInfo.h ${CMAKE_CURRENT_LIST_DIR}/SysInfo.cpp
    ${CMAKE_CURRENT_LIST_DIR}/frmAbout.h ${CMAKE_CURRENT_LIST_DIR}/frmAbout.cpp
    ${CMAKE_CURRENT_LIST_DIR}/frmReadme.h ${CMAKE_CURRENT_LIST_DIR}/frmReadme.cpp)
target_include_directories(borvessa_ui PUBLIC ${CMAKE_CURRENT_LIST_DIR})
