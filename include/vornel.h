/*
 * vornel.h - the Vornel Bluetooth API, for host applications and backends.
 *
 * Vornel.dll exports the eighteen functions below. It does no Bluetooth work
 * itself: BT_Init loads the first of QUENDA.DLL, MIRTEL.DLL and Sorvik.DLL
 * whose own BT_Init answers BT_OK, and every later call goes to that backend
 * with its arguments and result untouched. The parameter lists are therefore
 * a contract between host and backend; the library adds only the results
 * BT_ERROR_NO_BACKEND and BT_ERROR_NOT_READY.
 *
 * Threading: the first BT_Init must return before any other call, and
 * BT_Init and BT_Exit must not run alongside other calls. Between them every
 * function may be called from any thread; a backend serialises its own state.
 *
 * Text: names are narrow, zero-terminated, in the ANSI code page. Records and
 * counts are written on BT_OK (and BT_ERROR_MORE_DATA) only.
 *
 * Counting: each BT_Init that answers BT_OK counts one user and needs one
 * BT_Exit. One that answers BT_ERROR_NO_BACKEND counts nothing and needs no
 * BT_Exit. BT_Exit answers the number of users left, which can read like a
 * result code (1 also reads as BT_ERROR_NO_BACKEND): test it with < 0 and
 * == 0, not != BT_OK. The last BT_Exit answers the backend's own result. An
 * unbalanced BT_Exit drives the count below zero, and that is not repaired:
 * until BT_Init calls bring it back up, the count stays off.
 *
 * Where the backends come from: BT_Init loads them by bare name, so the
 * platform's ordinary DLL search decides, and it includes the current
 * directory. Ship backends in the application's directory or a system
 * directory, and check a host's directory with VornelInfo.exe.
 *
 * Editions: Vornel.dll comes for 32-bit (x86) and 64-bit (x64) hosts; a
 * host loads the one of its own architecture, and that one loads backends of
 * the same. This header serves both; its records have one layout on both,
 * whatever packing the host compiles with.
 *
 * Building: MinGW C hosts link with -lVornel (lib/<edition>/libVornel.dll.a);
 * MinGW C++ hosts add -static-libgcc -static-libstdc++ (or ship the runtime
 * DLLs beside them); MSVC hosts link lib/<edition>/Vornel.lib.
 */
#ifndef VORNEL_H
#define VORNEL_H

#include <stddef.h> /* wchar_t, from the compiler itself */

/* The version of this header, and of the Vornel.dll it goes with. */
#define VORNEL_VERSION_MAJOR 1
#define VORNEL_VERSION_MINOR 0
#define VORNEL_VERSION_PATCH 0
#define VORNEL_VERSION_BUILD 1

#ifdef VORNEL_BACKEND
/* A backend module exports the same functions under the same names. */
#define VORNEL_API __declspec(dllexport)
#else
#define VORNEL_API __declspec(dllimport)
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Declares function `name` with its parameter list, and PFN_<name>, the type
   of a pointer to it, for hosts that load the library with LoadLibrary and
   find the functions with GetProcAddress. */
#define VORNEL_DECLARE(name, parameters)           \
    typedef int(__cdecl* PFN_##name) parameters; \
    VORNEL_API int __cdecl name parameters;

/* Results. 1 and 3 come from Vornel.dll itself; all others from the backend. */
#define BT_OK                     0  /* done */
#define BT_ERROR_NO_BACKEND       1  /* BT_Init: no backend could be started */
#define BT_ERROR_INVALID_ARGUMENT 2  /* a null pointer, bad size or malformed value */
#define BT_ERROR_NOT_READY        3  /* no backend is loaded, or it lacks this function */
#define BT_ERROR_NOT_FOUND        4  /* no such device, service, connection or discovery */
#define BT_ERROR_NOT_PAIRED       5  /* the device must be paired first */
#define BT_ERROR_BUSY             6  /* already running, connected or dialled up */
#define BT_ERROR_NOT_CONNECTED    7  /* no DUN link to hang up */
#define BT_ERROR_MORE_DATA        8  /* the array was too small; the count says how many */
#define BT_ERROR_CANCELLED        9  /* discovery was cancelled (callback status only) */
#define BT_ERROR_AUTH_FAILED     10  /* the PIN was refused */
#define BT_ERROR_FILE            11  /* the file could not be opened or read */

/* Service classes, as 16-bit UUIDs. */
#define BT_SERVICE_SPP 0x1101u /* Serial Port */
#define BT_SERVICE_DUN 0x1103u /* Dial-Up Networking */
#define BT_SERVICE_OPP 0x1105u /* Object Push */

#define BT_NAME_SIZE 64 /* bytes of every name field, terminator included */

/* A device address: the 48 bits in the low six bytes, most significant first
   when written as 00:1A:7D:00:00:01. Higher bits set make it invalid. */
typedef unsigned long long BT_ADDR;

/* The records keep one layout whatever packing a host compiles with. */
#pragma pack(push, 8)

typedef struct BT_RADIO_INFO {
    BT_ADDR address;
    char name[BT_NAME_SIZE];
    unsigned int classOfDevice;   /* 24-bit class of device */
    unsigned short manufacturer;  /* company identifier */
    unsigned char hciVersion;     /* core specification version code */
    unsigned char discoverable;   /* 1 when other devices can find this radio */
} BT_RADIO_INFO;

typedef struct BT_DEVICE_INFO {
    BT_ADDR address;
    char name[BT_NAME_SIZE];
    unsigned int classOfDevice;
    int paired; /* 1 when paired with the local radio */
} BT_DEVICE_INFO;

typedef struct BT_SERVICE_INFO {
    unsigned short uuid;  /* a BT_SERVICE_ value */
    unsigned char channel; /* RFCOMM channel, 1 to 30 */
    char name[BT_NAME_SIZE];
} BT_SERVICE_INFO;

/* Called once per device found (status BT_OK, device valid for the call's
   length only), then once more with device NULL and status BT_OK when
   discovery completed or BT_ERROR_CANCELLED when it was cancelled. The
   discovery has ended when that final call is made, so a new one may be
   started from it. Runs on a backend thread; a cancel from a device call
   answers BT_ERROR_BUSY. */
#pragma pack(pop)

/* A compiler that ignored the packing above stops here rather than build a
   host that misreads every record. (clang for 32-bit x86 takes an explicit
   pack(8) as "the default", which /Zp1 then overrides.) */
typedef char vornel_records_need_pack_8[(sizeof(BT_SERVICE_INFO) == 68 && sizeof(BT_RADIO_INFO) == 80 &&
                                         sizeof(BT_DEVICE_INFO) == 80 && offsetof(BT_SERVICE_INFO, name) == 3)
                                            ? 1
                                            : -1];

typedef void(__cdecl* BT_DEVICE_CALLBACK)(const BT_DEVICE_INFO* device, int status, void* context);

/* Loads and starts a backend; counted, so each call needs its BT_Exit.
   BT_OK, or BT_ERROR_NO_BACKEND. Not alongside any other call. */
VORNEL_DECLARE(BT_Init, (void))

/* Pairs with device using pin (zero-terminated, 1 to 16 characters).
   BT_OK also when already paired; BT_ERROR_AUTH_FAILED on a wrong PIN. */
VORNEL_DECLARE(BT_Pair, (BT_ADDR device, const char* pin))

/* Forgets the pairing with device. BT_ERROR_NOT_PAIRED when there is none. */
VORNEL_DECLARE(BT_UnPair, (BT_ADDR device))

/* Fills *radio with the local radio. */
VORNEL_DECLARE(BT_QueryRadio, (BT_RADIO_INFO* radio))

/* Blocking discovery: fills up to capacity records of devices and sets *count
   to the number found. BT_ERROR_MORE_DATA when that exceeds capacity (the
   first capacity records are filled); devices may be NULL when capacity is 0. */
VORNEL_DECLARE(BT_ListDevices, (BT_DEVICE_INFO* devices, int capacity, int* count))

/* Starts discovery on a backend thread and returns at once; results reach
   callback with context. BT_ERROR_BUSY while a discovery is running. */
VORNEL_DECLARE(BT_ListDevicesAsync, (BT_DEVICE_CALLBACK callback, void* context))

/* Cancels the running discovery and returns once its final callback has
   returned. BT_ERROR_NOT_FOUND when none is running. */
VORNEL_DECLARE(BT_CancelListDevicesAsync, (void))

/* Fills *info with what is known of device. */
VORNEL_DECLARE(BT_QueryDevice, (BT_ADDR device, BT_DEVICE_INFO* info))

/* Lists the services of device, with the array rules of BT_ListDevices. */
VORNEL_DECLARE(BT_ListServices, (BT_ADDR device, BT_SERVICE_INFO* services, int capacity, int* count))

/* Fills *service with the service of class uuid on device. */
VORNEL_DECLARE(BT_QueryService, (BT_ADDR device, unsigned short uuid, BT_SERVICE_INFO* service))

/* Opens a serial connection to one of a paired device's SPP channels and
   sets *connection to its handle (positive, never reused). */
VORNEL_DECLARE(BT_SPP_Connect, (BT_ADDR device, int channel, int* connection))

/* Queues length bytes of data on connection; *sent says how many were taken,
   fewer than length when the connection's buffer is full. */
VORNEL_DECLARE(BT_SPP_SendData, (int connection, const void* data, int length, int* sent))

/* Takes up to capacity received bytes into buffer without waiting; *received
   says how many, 0 when nothing is pending. */
VORNEL_DECLARE(BT_SPP_RecvData, (int connection, void* buffer, int capacity, int* received))

/* Closes connection; the handle is invalid afterwards. */
VORNEL_DECLARE(BT_SPP_Disconnect, (int connection))

/* Dials number (digits, '+', '*', '#') through a paired device's DUN service.
   One link at a time: BT_ERROR_BUSY while one is up. */
VORNEL_DECLARE(BT_DUN_Dialup, (BT_ADDR device, const char* number))

/* Hangs up the DUN link through device. BT_ERROR_NOT_CONNECTED when none. */
VORNEL_DECLARE(BT_DUN_Hangup, (BT_ADDR device))

/* Pushes the file at path to device's OPP service and sets *bytesSent to
   the bytes sent, the whole file on BT_OK. */
VORNEL_DECLARE(BT_OPP_SendFile, (BT_ADDR device, const wchar_t* path, unsigned int* bytesSent))

/* Ends one BT_Init. Until the last user leaves it answers the count that
   remains (negative after more BT_Exit than BT_Init calls); the last call
   reaches the backend, which ends a running discovery and every link, stays
   loaded, and answers its result, BT_OK. Not alongside any other call. */
VORNEL_DECLARE(BT_Exit, (void))

/* The name of a result code, "BT_OK" to "BT_ERROR_FILE", or "unknown". */
#if defined(__cplusplus)
inline
#elif defined(_MSC_VER)
static __inline
#else
static inline
#endif
const char* BT_ResultName(int result)
{
    switch (result) {
    case BT_OK: return "BT_OK";
    case BT_ERROR_NO_BACKEND: return "BT_ERROR_NO_BACKEND";
    case BT_ERROR_INVALID_ARGUMENT: return "BT_ERROR_INVALID_ARGUMENT";
    case BT_ERROR_NOT_READY: return "BT_ERROR_NOT_READY";
    case BT_ERROR_NOT_FOUND: return "BT_ERROR_NOT_FOUND";
    case BT_ERROR_NOT_PAIRED: return "BT_ERROR_NOT_PAIRED";
    case BT_ERROR_BUSY: return "BT_ERROR_BUSY";
    case BT_ERROR_NOT_CONNECTED: return "BT_ERROR_NOT_CONNECTED";
    case BT_ERROR_MORE_DATA: return "BT_ERROR_MORE_DATA";
    case BT_ERROR_CANCELLED: return "BT_ERROR_CANCELLED";
    case BT_ERROR_AUTH_FAILED: return "BT_ERROR_AUTH_FAILED";
    case BT_ERROR_FILE: return "BT_ERROR_FILE";
    default: return "unknown";
    }
}

#ifdef __cplusplus
}
#endif

#endif /* VORNEL_H */
