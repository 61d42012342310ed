// Network sockets for the outputs that send lines to a collector: name resolution, non-blocking
// UDP and TCP sockets, and the host's own name. Every call returns at once or after at most the
// wait it is given, except ResolveSocketAddress, which asks the system's resolver and may take as
// long as the resolver does.
#pragma once

#include "CString.h"

#include <cstddef>
#include <cstdint>

namespace os
{
using SocketHandle = std::intptr_t;
constexpr SocketHandle kNoSocket = -1;

enum class SocketKind
{
    kDatagram,
    kStream
};

// An address of any family, as the resolver gives it.
struct SocketAddress
{
    unsigned char storage[128] = {};
    int length = 0;
};

enum class SendResult
{
    kSent,
    kWouldBlock,
    kFailed
};

// The first address of the host (a name or a numeric IPv4 or IPv6 address) for the port. On
// failure, error holds the resolver's reason.
bool ResolveSocketAddress(const char* host, unsigned short port, SocketKind kind,
                          SocketAddress& address, CString& error);
// A non-blocking socket connected, or connecting, to the address; kNoSocket when the system
// refuses one. A datagram socket is connected at once; a stream socket finishes its connection
// in WaitSocketWritable.
SocketHandle OpenSocket(const SocketAddress& address, SocketKind kind);
// 1 when the socket can take data (a connection in progress has been made), 0 when the wait
// ended first, -1 when the socket failed (a connection was refused or broke).
int WaitSocketWritable(SocketHandle socket, unsigned long milliseconds);
// Sends all of the bytes or none: a stream socket sends whatever the system takes and reports
// the count in sent; a datagram socket sends one datagram. Never raises a signal.
SendResult SendSocket(SocketHandle socket, const void* data, std::size_t length, std::size_t& sent);
// True when the peer of a stream socket has closed the connection or the connection broke.
bool IsSocketClosed(SocketHandle socket);
void CloseSocket(SocketHandle socket);
// The host's name, "" when the system gives none.
CString GetHostName();
} // namespace os
