# Where the cards are kept (build folder or the user's copies of the installed
# cards), the remembered window settings, and the product picture resource.
# Include after borvessa_core and borvessa_ui exist.
target_sources(borvessa_core PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/CardFolder.h ${CMAKE_CURRENT_LIST_DIR}/CardFolder.cpp)
target_sources(borvessa_ui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/WindowSettings.h ${CMAKE_CURRENT_LIST_DIR}/WindowSettings.cpp)

# The installed cards (cards/CMakeLists.txt installs them there), as a path
# relative to the installed program, so any install prefix works.
file(RELATIVE_PATH _borvessa_cards_relative
    ${CMAKE_INSTALL_FULL_BINDIR} ${CMAKE_INSTALL_FULL_DATADIR}/borvessa/cards)
target_compile_definitions(borvessa_core PRIVATE
    BORVESSA_INSTALLED_CARDS_RELATIVE="${_borvessa_cards_relative}")

# The 256 px application icon is the product picture the windows show.
set(_borvessa_product_png ${PROJECT_SOURCE_DIR}/packaging/icons/256x256/borvessa.png)
set_source_files_properties(${_borvessa_product_png} PROPERTIES QT_RESOURCE_ALIAS product.png)
qt_add_resources(borvessa_ui "product" PREFIX "/borvessa" FILES ${_borvessa_product_png})
