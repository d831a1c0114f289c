#pragma once

class CSocket;

// One read notification's worth of relaying: reads exactly the bytes waiting on rFrom, once,
// into one buffer of that size, and writes them all to rTo (waiting until they are taken).
// Nothing waiting, a failed read or a failed write: the bytes are dropped, nothing is reported.
void RelayWaitingBytes(CSocket &rFrom, CSocket &rTo);
