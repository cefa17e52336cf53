# Tests that drive the studio's widgets.
pendra_test_program(pendra-studio-tests
  SOURCES
    support/AppTestMain.cpp
    support/DiskFaults.h support/DiskFaults.cpp
    support/TempFolder.h
    Pendra/Studio/StudioTestFixture.h
    Pendra/Studio/AdaptiveGridLayoutTests.cpp
    Pendra/Studio/CharmPictureTests.cpp
    Pendra/Studio/CharmTileTests.cpp
    Pendra/Studio/CordTileTests.cpp
    Pendra/Studio/HungRowTests.cpp
    Pendra/Studio/SliderMappingTests.cpp
    Pendra/Studio/StudioWindowTests.cpp
    Pendra/Studio/SymbolsTests.cpp
  LIBS PendraApp Qt6::Test)
