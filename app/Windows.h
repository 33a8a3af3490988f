#pragma once

class CompanySelection;
class DataModule;
class MainWindow;

// Wires the main window's commands to the windows this build has, each on
// the data module's shared data sets.
void registerWindows(MainWindow &main, DataModule &module);

// The company selection of start-up, inside the frame; the choice also
// brings the numbering and the status bar's declaration up to date.
CompanySelection *openCompanySelection(MainWindow &main, DataModule &module);
