#pragma once

// SIGTERM, SIGINT and SIGHUP end the program as "Quitter Application" does,
// pending work committed; they interrupt kestra-cli import, which keeps only
// what it committed. The database client would otherwise shut its engine
// down on these signals from a thread of its own and leave the program
// running on a dead connection: the signals are blocked in every thread and
// read by the event loop, or asked for by the import, instead.

// Before any thread exists: first thing in main, or in a command that
// starts no thread before.
void blockTerminationSignals();
// Once the application object exists.
void quitOnTerminationSignals();
// A signal that arrived since it was last asked, taken (its number, 0 for
// none). For a program that reads them itself rather than quitting on them.
int takeTerminationSignal();
// For a program started from here: signals as usual.
void unblockTerminationSignalsInChild();
