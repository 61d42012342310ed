#include "OsSocket.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace os
{
namespace
{
int SocketType(SocketKind kind)
{
    return kind == SocketKind::kStream ? SOCK_STREAM : SOCK_DGRAM;
}

int Descriptor(SocketHandle socket)
{
    return static_cast<int>(socket);
}

// An address written as numbers needs no resolver. The resolver takes locks of its own, which a
// child forked while another thread of the parent was inside it would find taken for good.
template <typename Address> bool StoreAddress(const Address& numeric, SocketAddress& address)
{
    static_assert(sizeof(Address) <= sizeof address.storage, "the storage holds any address");
    std::memcpy(address.storage, &numeric, sizeof numeric);
    address.length = static_cast<int>(sizeof numeric);
    return true;
}

bool ParseNumericAddress(const char* host, unsigned short port, SocketAddress& address)
{
    sockaddr_in version4{};
    if (::inet_pton(AF_INET, host, &version4.sin_addr) == 1)
    {
        version4.sin_family = AF_INET;
        version4.sin_port = htons(port);
        return StoreAddress(version4, address);
    }
    sockaddr_in6 version6{};
    if (::inet_pton(AF_INET6, host, &version6.sin6_addr) == 1)
    {
        version6.sin6_family = AF_INET6;
        version6.sin6_port = htons(port);
        return StoreAddress(version6, address);
    }
    return false;
}
} // namespace

bool ResolveSocketAddress(const char* host, unsigned short port, SocketKind kind,
                          SocketAddress& address, CString& error)
{
    if (host != nullptr && ParseNumericAddress(host, port, address))
        return true;
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
        error = result != 0 ? ::gai_strerror(result) : "no address";
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
    const auto* target = reinterpret_cast<const sockaddr*>(address.storage);
    const int descriptor =
        ::socket(target->sa_family, SocketType(kind) | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (descriptor < 0)
        return kNoSocket;
    if (::connect(descriptor, target, static_cast<socklen_t>(address.length)) != 0 &&
        errno != EINPROGRESS)
    {
        ::close(descriptor);
        return kNoSocket;
    }
    return descriptor;
}

int WaitSocketWritable(SocketHandle socket, unsigned long milliseconds)
{
    pollfd entry{Descriptor(socket), POLLOUT, 0};
    const int ready = ::poll(&entry, 1, static_cast<int>(milliseconds));
    if (ready < 0)
        return errno == EINTR ? 0 : -1;
    if (ready == 0)
        return 0;
    int failure = 0;
    socklen_t size = sizeof failure;
    if (::getsockopt(Descriptor(socket), SOL_SOCKET, SO_ERROR, &failure, &size) != 0 ||
        failure != 0 || (entry.revents & (POLLERR | POLLHUP)) != 0)
        return -1;
    return 1;
}

SendResult SendSocket(SocketHandle socket, const void* data, std::size_t length, std::size_t& sent)
{
    sent = 0;
    const ssize_t written = ::send(Descriptor(socket), data, length, MSG_NOSIGNAL);
    if (written >= 0)
    {
        sent = static_cast<std::size_t>(written);
        return SendResult::kSent;
    }
    return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR ? SendResult::kWouldBlock
                                                                     : SendResult::kFailed;
}

bool IsSocketClosed(SocketHandle socket)
{
    char byte = 0;
    const ssize_t got = ::recv(Descriptor(socket), &byte, 1, MSG_PEEK | MSG_DONTWAIT);
    if (got == 0)
        return true;
    return got < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR;
}

void CloseSocket(SocketHandle socket)
{
    if (socket != kNoSocket)
        ::close(Descriptor(socket));
}

CString GetHostName()
{
    char name[256] = {};
    if (::gethostname(name, sizeof name - 1) != 0)
        return CString();
    return CString(name);
}
} // namespace os
