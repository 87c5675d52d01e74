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
 */
#ifndef VORNEL_H
#define VORNEL_H

#include <wchar.h>

#ifdef VORNEL_BACKEND
/* A backend module exports the same functions under the same names. */
#define VORNEL_API __declspec(dllexport)
#else
#define VORNEL_API __declspec(dllimport)
#endif

#ifdef __cplusplus
extern "C" {
#endif

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
typedef void(__cdecl* BT_DEVICE_CALLBACK)(const BT_DEVICE_INFO* device, int status, void* context);

/* Loads and starts a backend; counted, so each call needs its BT_Exit.
   BT_OK, or BT_ERROR_NO_BACKEND. Not alongside any other call. */
VORNEL_API int __cdecl BT_Init(void);

/* Pairs with device using pin (zero-terminated, 1 to 16 characters).
   BT_OK also when already paired; BT_ERROR_AUTH_FAILED on a wrong PIN. */
VORNEL_API int __cdecl BT_Pair(BT_ADDR device, const char* pin);

/* Forgets the pairing with device. BT_ERROR_NOT_PAIRED when there is none. */
VORNEL_API int __cdecl BT_UnPair(BT_ADDR device);

/* Fills *radio with the local radio. */
VORNEL_API int __cdecl BT_QueryRadio(BT_RADIO_INFO* radio);

/* Blocking discovery: fills up to capacity records of devices and sets *count
   to the number found. BT_ERROR_MORE_DATA when that exceeds capacity (the
   first capacity records are filled); devices may be NULL when capacity is 0. */
VORNEL_API int __cdecl BT_ListDevices(BT_DEVICE_INFO* devices, int capacity, int* count);

/* Starts discovery on a backend thread and returns at once; results reach
   callback with context. BT_ERROR_BUSY while a discovery is running. */
VORNEL_API int __cdecl BT_ListDevicesAsync(BT_DEVICE_CALLBACK callback, void* context);

/* Cancels the running discovery and returns once its final callback has
   returned. BT_ERROR_NOT_FOUND when none is running. */
VORNEL_API int __cdecl BT_CancelListDevicesAsync(void);

/* Fills *info with what is known of device. */
VORNEL_API int __cdecl BT_QueryDevice(BT_ADDR device, BT_DEVICE_INFO* info);

/* Lists the services of device, with the array rules of BT_ListDevices. */
VORNEL_API int __cdecl BT_ListServices(BT_ADDR device, BT_SERVICE_INFO* services, int capacity,
                                       int* count);

/* Fills *service with the service of class uuid on device. */
VORNEL_API int __cdecl BT_QueryService(BT_ADDR device, unsigned short uuid, BT_SERVICE_INFO* service);

/* Opens a serial connection to one of a paired device's SPP channels and
   sets *connection to its handle (positive, never reused). */
VORNEL_API int __cdecl BT_SPP_Connect(BT_ADDR device, int channel, int* connection);

/* Queues length bytes of data on connection; *sent says how many were taken,
   fewer than length when the connection's buffer is full. */
VORNEL_API int __cdecl BT_SPP_SendData(int connection, const void* data, int length, int* sent);

/* Takes up to capacity received bytes into buffer without waiting; *received
   says how many, 0 when nothing is pending. */
VORNEL_API int __cdecl BT_SPP_RecvData(int connection, void* buffer, int capacity, int* received);

/* Closes connection; the handle is invalid afterwards. */
VORNEL_API int __cdecl BT_SPP_Disconnect(int connection);

/* Dials number (digits, '+', '*', '#') through a paired device's DUN service.
   One link at a time: BT_ERROR_BUSY while one is up. */
VORNEL_API int __cdecl BT_DUN_Dialup(BT_ADDR device, const char* number);

/* Hangs up the DUN link through device. BT_ERROR_NOT_CONNECTED when none. */
VORNEL_API int __cdecl BT_DUN_Hangup(BT_ADDR device);

/* Pushes the file at path to device's OPP service and sets *bytesSent to
   the bytes sent, the whole file on BT_OK. */
VORNEL_API int __cdecl BT_OPP_SendFile(BT_ADDR device, const wchar_t* path, unsigned int* bytesSent);

/* Ends one BT_Init. Until the last user leaves it answers the count that
   remains (negative after more BT_Exit than BT_Init calls); the last call
   reaches the backend, which ends a running discovery and every link, stays
   loaded, and answers its result, BT_OK. Not alongside any other call. */
VORNEL_API int __cdecl BT_Exit(void);

#ifdef __cplusplus
}
#endif

#endif /* VORNEL_H */
