#pragma once

// SIGTERM, SIGINT and SIGHUP end the program as "Quitter Application" does,
// pending work committed. The database client would otherwise shut its engine
// down on these signals from a thread of its own and leave the program running
// on a dead connection: the signals are blocked in every thread and read by
// the event loop instead.

// First thing in main, before any thread exists.
void blockTerminationSignals();
// Once the application object exists.
void quitOnTerminationSignals();
// For a program started from here: signals as usual.
void unblockTerminationSignalsInChild();
