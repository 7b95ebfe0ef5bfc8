# The system's printer.
target_sources(borvessa_printer PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/CardPrinter.h ${CMAKE_CURRENT_LIST_DIR}/CardPrinter.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CupsJob.h ${CMAKE_CURRENT_LIST_DIR}/CupsJob.cpp)
# The preview window and the calibration dialog need Widgets, so they belong
# to the UI library and not to the core.
target_sources(borvessa_ui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/PagePreview.h ${CMAKE_CURRENT_LIST_DIR}/PagePreview.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PrintPreviewDialog.h ${CMAKE_CURRENT_LIST_DIR}/PrintPreviewDialog.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CalibrationDialog.h ${CMAKE_CURRENT_LIST_DIR}/CalibrationDialog.cpp)
