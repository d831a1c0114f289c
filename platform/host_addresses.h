#pragma once

#include <QString>
#include <QStringList>

// The local host's IPv4 addresses as dotted text, in the resolver's order: the host's own name
// (gethostname into a zero-filled 255-byte buffer) resolved to IPv4 addresses. Empty when the
// name cannot be had or resolves to nothing; nothing is reported.
QStringList LocalIPv4Addresses();

// Replaces the lookup (tests use it to show a host with no address, or a fixed list). Passing
// nullptr restores the real one.
void SetLocalAddressLookupForTesting(QStringList (*lookup)());
