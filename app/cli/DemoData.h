#pragma once

class Connection;

// A demonstration company with its clients and invoices of the current year,
// so that a newcomer sees a working register and a real declaration at once.
namespace DemoData {
void insert(Connection &connection);
}
