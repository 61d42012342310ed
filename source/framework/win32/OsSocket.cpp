#include "WindowsInclude.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include "OsSocket.h"

#include <cstdio>
#include <cstring>
#include <mutex>

namespace os
{
namespace
{
// Winsock is started once per process and never cleaned up: sockets may be in use until the end.
bool StartWinsock()
{
    static std::once_flag once;
    static bool started = false;
    std::call_once(once,
                   []
                   {
                       WSADATA data;
                       started = ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
                   });
    return started;
}

int SocketType(SocketKind kind)
{
    return kind == SocketKind::kStream ? SOCK_STREAM : SOCK_DGRAM;
}

SOCKET Native(SocketHandle socket)
{
    return static_cast<SOCKET>(socket);
}
} // namespace

bool ResolveSocketAddress(const char* host, unsigned short port, SocketKind kind,
                          SocketAddress& address, CString& error)
{
    if (!StartWinsock())
    {
        error = "Winsock is not available";
        return false;
    }
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SocketType(kind);
    hints.ai_flags = AI_NUMERICSERV;
    char service[8];
    std::snprintf(service, sizeof service, "%u", static_cast<unsigned>(port));
    addrinfo* found = nullptr;
    const int result = ::getaddrinfo(host, service, &hints, &found);
    if (result != 0 || found == nullptr)
    {
        error.Format("resolver error %d", result);
        return false;
    }
    const std::size_t length = found->ai_addrlen;
    const bool fits = length <= sizeof address.storage;
    if (fits)
    {
        std::memcpy(address.storage, found->ai_addr, length);
        address.length = static_cast<int>(length);
    }
    ::freeaddrinfo(found);
    if (!fits)
        error = "address too long";
    return fits;
}

SocketHandle OpenSocket(const SocketAddress& address, SocketKind kind)
{
    if (!StartWinsock())
        return kNoSocket;
    const auto* target = reinterpret_cast<const sockaddr*>(address.storage);
    const SOCKET native = ::WSASocketA(target->sa_family, SocketType(kind), 0, nullptr, 0,
                                       WSA_FLAG_OVERLAPPED | WSA_FLAG_NO_HANDLE_INHERIT);
    if (native == INVALID_SOCKET)
        return kNoSocket;
    u_long nonBlocking = 1;
    if (::ioctlsocket(native, FIONBIO, &nonBlocking) != 0 ||
        (::connect(native, target, address.length) != 0 && ::WSAGetLastError() != WSAEWOULDBLOCK))
    {
        ::closesocket(native);
        return kNoSocket;
    }
    return static_cast<SocketHandle>(native);
}

int WaitSocketWritable(SocketHandle socket, unsigned long milliseconds)
{
    fd_set writable;
    fd_set failed;
    FD_ZERO(&writable);
    FD_ZERO(&failed);
    FD_SET(Native(socket), &writable);
    FD_SET(Native(socket), &failed);
    timeval wait{static_cast<long>(milliseconds / 1000),
                 static_cast<long>(milliseconds % 1000) * 1000L};
    const int ready = ::select(0, nullptr, &writable, &failed, &wait);
    if (ready < 0 || FD_ISSET(Native(socket), &failed))
        return -1;
    if (ready == 0)
        return 0;
    int failure = 0;
    int size = sizeof failure;
    if (::getsockopt(Native(socket), SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&failure),
                     &size) != 0 ||
        failure != 0)
        return -1;
    return 1;
}

SendResult SendSocket(SocketHandle socket, const void* data, std::size_t length, std::size_t& sent)
{
    sent = 0;
    const int chunk = length > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(length);
    const int written = ::send(Native(socket), static_cast<const char*>(data), chunk, 0);
    if (written != SOCKET_ERROR)
    {
        sent = static_cast<std::size_t>(written);
        return SendResult::kSent;
    }
    return ::WSAGetLastError() == WSAEWOULDBLOCK ? SendResult::kWouldBlock : SendResult::kFailed;
}

bool IsSocketClosed(SocketHandle socket)
{
    char byte = 0;
    const int got = ::recv(Native(socket), &byte, 1, MSG_PEEK);
    if (got == 0)
        return true;
    return got == SOCKET_ERROR && ::WSAGetLastError() != WSAEWOULDBLOCK;
}

void CloseSocket(SocketHandle socket)
{
    if (socket != kNoSocket)
        ::closesocket(Native(socket));
}

CString GetHostName()
{
    char name[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = sizeof name;
    if (!::GetComputerNameA(name, &size))
        return CString();
    return CString(name);
}
} // namespace os
