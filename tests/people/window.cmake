borvessa_add_test(tst_peoplewindow SOURCES tst_peoplewindow.cpp
                  ${PROJECT_SOURCE_DIR}/tests/card/TestCards.h ${PROJECT_SOURCE_DIR}/tests/card/TestCards.cpp
                  ${PROJECT_SOURCE_DIR}/tests/print/PdfProbe.h ${PROJECT_SOURCE_DIR}/tests/print/PdfProbe.cpp
                  LIBS borvessa_ui borvessa_installed_cards)
target_include_directories(tst_peoplewindow PRIVATE ${PROJECT_SOURCE_DIR}/tests/card ${PROJECT_SOURCE_DIR}/tests/print)
