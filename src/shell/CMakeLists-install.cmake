# Where the cards are kept (build folder or the user's copies of the installed
# cards) and the remembered window settings.
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
