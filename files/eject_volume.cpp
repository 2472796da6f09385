// KUtl-EjectVolume: ejects the medium of a removable or CD-ROM drive, named by its drive
// letter or its volume label. Fixed disks, network volumes and drives of unknown type are
// refused before any device is opened.

#include <windows.h>

#include <winioctl.h>

#include <cstdio>
#include <cstring>
#include <initializer_list>

#include "core/args.h"
#include "core/ascii.h"
#include "files/file_functions.h"
#include "platform/paths/file_ref.h"
#include "platform/win32/raii.h"

namespace korvane {
namespace {

// The longest volume name taken; a longer one cannot be a label or a drive.
constexpr size_t kMaxVolumeNameLength = 62;
// A volume's root as findVolumeRoot writes it, terminator included.
constexpr size_t kVolumeRootCapacity = kMaxVolumeNameLength + 1;
// A locked volume may still be busy for a moment: this many tries, this far apart.
constexpr int kLockTries = 20;
constexpr DWORD kLockRetryMs = 500;

// ---- Windows 9x: the DOS services through the VWIN32 device ----

// DeviceIoControl code of the DOS device IOCTL service (int 21h, function 440Dh).
constexpr DWORD kDosDeviceIoctl = 1;
constexpr DWORD kGenericIoctl = 0x440D;
constexpr DWORD kCarryFlag = 1;
// Minor codes of the generic IOCTL, with the FAT32 category (0x48) tried before the FAT one (0x08).
constexpr DWORD kLockLogicalVolume = 0x4A;
constexpr DWORD kUnlockLogicalVolume = 0x6A;
constexpr DWORD kLockOrUnlockMedia = 0x0848;
constexpr DWORD kEjectMedia = 0x0849;
constexpr DWORD kFat32Category = 0x4800;
constexpr DWORD kFatCategory = 0x0800;
// Lock-or-unlock-media operations and the answers that mean nothing is locked.
constexpr BYTE kUnlockMedia = 1;
constexpr BYTE kMediaLockStatus = 2;
constexpr DWORD kNotLocked = 0xB0;
constexpr DWORD kNotSupported = 1;
constexpr DWORD kDeleteOnClose = 0x4000000;

// The registers of one DOS service request.
struct DosRegisters {
    DWORD ebx;
    DWORD edx;
    DWORD ecx;
    DWORD eax;
    DWORD edi;
    DWORD esi;
    DWORD flags;
};
static_assert(sizeof(DosRegisters) == 28);

// Sends one generic IOCTL request; false when the call fails or the service sets carry.
bool dosRequest(HANDLE device, DosRegisters* registers) {
    registers->eax = kGenericIoctl;
    DWORD returned = 0;
    const BOOL sent = DeviceIoControl(device, kDosDeviceIoctl, registers, sizeof *registers, registers,
                                      sizeof *registers, &returned, nullptr);
    return sent && (registers->flags & kCarryFlag) == 0;
}

// The logical volume locked or unlocked, in either category.
bool lockLogicalVolume(HANDLE device, BYTE drive, DWORD minorCode) {
    for (const DWORD category : {kFat32Category, kFatCategory}) {
        DosRegisters registers{};
        registers.ebx = drive;  // lock level 0 in the high byte
        registers.ecx = category | minorCode;
        if (dosRequest(device, &registers)) {
            return true;
        }
    }
    return false;
}

// Every lock on the medium released; nothing locked, or no locks supported, is success.
bool releaseMediaLocks(HANDLE device, BYTE drive) {
    struct {
        BYTE operation;
        BYTE lockCount;
    } parameters{kMediaLockStatus, 0};
    DosRegisters registers{};
    registers.ebx = drive;
    registers.ecx = kLockOrUnlockMedia;
    registers.edx = static_cast<DWORD>(reinterpret_cast<UINT_PTR>(&parameters));
    if (!dosRequest(device, &registers)) {
        const DWORD error = registers.eax & 0xFFFF;
        return error == kNotLocked || error == kNotSupported;
    }
    while (parameters.lockCount > 0) {
        const BYTE before = parameters.lockCount;
        parameters.operation = kUnlockMedia;
        registers = DosRegisters{};
        registers.ebx = drive;
        registers.ecx = kLockOrUnlockMedia;
        registers.edx = static_cast<DWORD>(reinterpret_cast<UINT_PTR>(&parameters));
        if (!dosRequest(device, &registers) || parameters.lockCount >= before) {
            return false;
        }
    }
    return true;
}

bool ejectByDosService(char driveLetter) {
    const BYTE drive = static_cast<BYTE>(toUpperAscii(driveLetter) - ('A' - 1));  // A is drive 1
    const win32::unique_hfile device(CreateFileA("\\\\.\\vwin32", 0, 0, nullptr, 0, kDeleteOnClose, nullptr));
    if (!device) {
        return false;
    }
    if (!lockLogicalVolume(device.get(), drive, kLockLogicalVolume)) {
        return false;
    }
    const bool released = releaseMediaLocks(device.get(), drive);
    bool ejected = false;
    if (released) {
        DosRegisters registers{};
        registers.ebx = drive;
        registers.ecx = kEjectMedia;
        ejected = dosRequest(device.get(), &registers);
        if (!ejected) {
            std::printf("could not eject media from drive %c:\n", driveLetter);
        }
    }
    lockLogicalVolume(device.get(), drive, kUnlockLogicalVolume);
    return released && ejected;
}

// ---- NT: the volume device itself ----

// The access a drive's volume device is opened with: removable drives read and write,
// CD-ROM drives read; 0 for every other kind (fixed, network, RAM, unknown).
DWORD mediaAccess(char driveLetter) {
    const char root[] = {driveLetter, ':', '\\', '\0'};
    switch (GetDriveTypeA(root)) {
        case DRIVE_REMOVABLE:
            return GENERIC_READ | GENERIC_WRITE;
        case DRIVE_CDROM:
            return GENERIC_READ;
        default:
            return 0;
    }
}

bool ejectByVolumeDevice(char driveLetter, DWORD access) {
    const char deviceName[] = {'\\', '\\', '.', '\\', driveLetter, ':', '\0'};
    win32::unique_hfile device(
        CreateFileA(deviceName, access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!device) {
        return false;
    }
    DWORD returned = 0;
    bool locked = false;
    for (int tries = 0; tries < kLockTries && !locked; ++tries) {
        if (tries > 0) {
            Sleep(kLockRetryMs);
        }
        locked = DeviceIoControl(device.get(), FSCTL_LOCK_VOLUME, nullptr, 0, nullptr, 0, &returned, nullptr);
    }
    if (locked && DeviceIoControl(device.get(), FSCTL_DISMOUNT_VOLUME, nullptr, 0, nullptr, 0, &returned, nullptr)) {
        PREVENT_MEDIA_REMOVAL removal{};
        removal.PreventMediaRemoval = FALSE;
        if (DeviceIoControl(device.get(), IOCTL_STORAGE_MEDIA_REMOVAL, &removal, sizeof removal, nullptr, 0, &returned,
                            nullptr)) {
            DeviceIoControl(device.get(), IOCTL_STORAGE_EJECT_MEDIA, nullptr, 0, nullptr, 0, &returned, nullptr);
        }
    }
    // The medium may refuse to go; the request was made once the device closes cleanly.
    return CloseHandle(device.release()) != FALSE;
}

bool isNtFamily() {
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    const BOOL known = GetVersionExA(&version);
#pragma GCC diagnostic pop
    return !known || version.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

// The drive letter of a volume name (D, D:, D:\dir, or a label). A network volume, or a
// label no volume carries, has no drive to eject: kParamErr.
Status driveOfVolume(const char* name, char* drive) {
    if (name[0] != '\0' && (name[1] == ':' || (name[1] == '\0' && isAsciiLetter(name[0])))) {
        *drive = name[0];
        return kNoErr;
    }
    // A label may be written as a volume, with a trailing ":" (BACKUP:).
    char label[kMaxVolumeNameLength + 1] = {};
    const size_t length = strnlen(name, kMaxVolumeNameLength);
    std::memcpy(label, name, length);
    if (length > 1 && label[length - 1] == ':') {
        label[length - 1] = '\0';
    }
    char root[kVolumeRootCapacity] = {};
    if (!findVolumeRoot(label, root, sizeof root)) {
        return kParamErr;
    }
    if (root[0] == '\0' || (root[0] == '\\' && root[1] == '\\')) {
        return kParamErr;  // a network volume has no medium to eject
    }
    *drive = root[0];
    return kNoErr;
}

// VOLUME, else NAME, else PATH; null when none is given.
const char* readVolumeName(const Arguments& args) {
    for (const char* tag : {"VOLUME", "NAME", "PATH"}) {
        if (const char* name = args.tagValue(tag)) {
            return name;
        }
    }
    return nullptr;
}

}  // namespace

Status ejectVolumeHandler(Call& call) {
    const char* name = readVolumeName(call.args());
    if (name == nullptr) {
        return kParamErr;
    }
    if (strnlen(name, kMaxVolumeNameLength + 1) > kMaxVolumeNameLength) {
        return kNoSuchVolume;
    }
    char drive = 0;
    if (const Status status = driveOfVolume(name, &drive); status != kNoErr) {
        return status;
    }
    // Only removable media are ejected: no other kind of drive has its device touched.
    const DWORD access = mediaAccess(drive);
    if (access == 0) {
        return kParamErr;
    }
    const bool ejected = isNtFamily() ? ejectByVolumeDevice(drive, access) : ejectByDosService(drive);
    return ejected ? kNoErr : kParamErr;
}

}  // namespace korvane
