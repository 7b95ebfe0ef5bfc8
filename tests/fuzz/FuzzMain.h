#pragma once

#include <QString>

// Shared set-up of the fuzz targets: an application object, a private data
// folder for everything a target writes, and a message sink that shows
// nothing and keeps nothing.
namespace FuzzMain {

void initialise(int *argc, char ***argv);
// The private folder of this run.
QString folder();
// Ends the run with a report when a property does not hold.
void check(const QString &violation);

} // namespace FuzzMain
