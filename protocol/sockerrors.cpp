#include "protocol/sockerrors.h"

#include <cerrno>

namespace SockErrors {

namespace {

struct Entry
{
    int number;
    int err;            // POSIX counterpart, 0 when there is none
    const char *name;
};

constexpr Entry table[] = {
    {10004, EINTR, "WSAEINTR"},
    {10009, EBADF, "WSAEBADF"},
    {10013, EACCES, "WSAEACCES"},
    {10014, EFAULT, "WSAEFAULT"},
    {10022, EINVAL, "WSAEINVAL"},
    {10024, EMFILE, "WSAEMFILE"},
    {10035, EWOULDBLOCK, "WSAEWOULDBLOCK"},
    {10036, EINPROGRESS, "WSAEINPROGRESS"},
    {10037, EALREADY, "WSAEALREADY"},
    {10038, ENOTSOCK, "WSAENOTSOCK"},
    {10039, EDESTADDRREQ, "WSAEDESTADDRREQ"},
    {10040, EMSGSIZE, "WSAEMSGSIZE"},
    {10041, EPROTOTYPE, "WSAEPROTOTYPE"},
    {10042, ENOPROTOOPT, "WSAENOPROTOOPT"},
    {10043, EPROTONOSUPPORT, "WSAEPROTONOSUPPORT"},
    {10044, ESOCKTNOSUPPORT, "WSAESOCKTNOSUPPORT"},
    {10045, EOPNOTSUPP, "WSAEOPNOTSUPP"},
    {10046, EPFNOSUPPORT, "WSAEPFNOSUPPORT"},
    {10047, EAFNOSUPPORT, "WSAEAFNOSUPPORT"},
    {10048, EADDRINUSE, "WSAEADDRINUSE"},
    {10049, EADDRNOTAVAIL, "WSAEADDRNOTAVAIL"},
    {10050, ENETDOWN, "WSAENETDOWN"},
    {10051, ENETUNREACH, "WSAENETUNREACH"},
    {10052, ENETRESET, "WSAENETRESET"},
    {10053, ECONNABORTED, "WSAECONNABORTED"},
    {10054, ECONNRESET, "WSAECONNRESET"},
    {10055, ENOBUFS, "WSAENOBUFS"},
    {10056, EISCONN, "WSAEISCONN"},
    {10057, ENOTCONN, "WSAENOTCONN"},
    {10058, ESHUTDOWN, "WSAESHUTDOWN"},
    {10059, ETOOMANYREFS, "WSAETOOMANYREFS"},
    {10060, ETIMEDOUT, "WSAETIMEDOUT"},
    {10061, ECONNREFUSED, "WSAECONNREFUSED"},
    {10062, ELOOP, "WSAELOOP"},
    {10063, ENAMETOOLONG, "WSAENAMETOOLONG"},
    {10064, EHOSTDOWN, "WSAEHOSTDOWN"},
    {10065, EHOSTUNREACH, "WSAEHOSTUNREACH"},
    {10066, ENOTEMPTY, "WSAENOTEMPTY"},
    {10067, 0, "WSAEPROCLIM"},
    {10068, EUSERS, "WSAEUSERS"},
    {10069, EDQUOT, "WSAEDQUOT"},
    {10070, ESTALE, "WSAESTALE"},
    {10071, EREMOTE, "WSAEREMOTE"},
    {10091, 0, "WSASYSNOTREADY"},
    {10092, 0, "WSAVERNOTSUPPORTED"},
    {10093, 0, "WSANOTINITIALISED"},
    {10101, 0, "WSAEDISCON"},
    {11001, 0, "WSAHOST_NOT_FOUND"},
    {11002, 0, "WSATRY_AGAIN"},
    {11003, 0, "WSANO_RECOVERY"},
    {11004, 0, "WSANO_DATA"},
};

} // namespace

int fromErrno(int err)
{
    if (err == EAGAIN)
        return WouldBlock;
    if (err == EPIPE)               // writing to a connection the peer has shut
        return 10058;
    for (const Entry &e : table)
        if (e.err != 0 && e.err == err)
            return e.number;
    return 20000 + err;
}

QByteArray name(int number)
{
    for (const Entry &e : table)
        if (e.number == number)
            return e.name;
    return "UNKNOWN ERROR";
}

} // namespace SockErrors
