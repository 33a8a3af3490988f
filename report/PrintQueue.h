#pragma once

#include <QString>

// What the system's printing service (CUPS) says of a queue and of the job
// just sent to it. The toolkit sends the job but keeps the answer to itself:
// a queue that refuses would lose the statement without a word.
namespace PrintQueue {

// Why the queue will not take a job now (it does not exist, or it refuses
// jobs), in the program's words; empty when it takes them. printerName as
// the toolkit names it: "queue" or "queue/instance".
QString refusal(const QString &printerName);

// The service's answer to the job the toolkit has just sent to the queue, in
// the program's words when it was refused; empty when the job was taken.
QString submissionFailure(const QString &printerName);

} // namespace PrintQueue
