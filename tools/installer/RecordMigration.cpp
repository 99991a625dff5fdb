// The installer's custom action for an upgrade from a version that installed into the host's
// developer folder (%APPDATA%\Autodesk\Autodesk Fusion 360\API\AddIns\TrelvikDizivoro360): the
// older product has been removed by then (its files, not the launch record, which is the user's
// data). This moves that record, byte for byte, into the folder the add-in is installed into now
// (%APPDATA%\Autodesk\FusionAddins\TrelvikDizivoro360), so the count goes on, and removes the old
// folder once it is empty, so the host finds one add-in. A record already in the new folder is
// never replaced. Nothing here can fail the installation: the action always reports success.
//
// Only the system's kernel32: it runs inside msiexec, beside nothing of ours.
#include <windows.h>

namespace {

constexpr DWORD pathRoom = 32768;

// %APPDATA% followed by tail; false when it does not fit.
bool appDataPath(const wchar_t* tail, wchar_t* out)
{
    const DWORD length = GetEnvironmentVariableW(L"APPDATA", out, pathRoom);
    if (length == 0 || length >= pathRoom || length + lstrlenW(tail) >= pathRoom) {
        return false;
    }
    lstrcatW(out, tail);
    return true;
}

// Static, with nothing on the stack: paths of this length would need a stack probe, and a buffer
// there a stack cookie, and a DLL without an entry point has no run-time to set one up.
const wchar_t* const newFolders[] = {L"\\Autodesk", L"\\Autodesk\\FusionAddins",
                                     L"\\Autodesk\\FusionAddins\\TrelvikDizivoro360"};
wchar_t oldFolder[pathRoom];
wchar_t oldRecord[pathRoom];
wchar_t newRecord[pathRoom];
wchar_t folder[pathRoom];

} // namespace

// The installer's handle (MSIHANDLE) is not used.
extern "C" __declspec(dllexport) UINT __stdcall MigrateLaunchRecord(unsigned long /*install*/)
{
    if (!appDataPath(L"\\Autodesk\\Autodesk Fusion 360\\API\\AddIns\\TrelvikDizivoro360", oldFolder) ||
        !appDataPath(L"\\Autodesk\\Autodesk Fusion 360\\API\\AddIns\\TrelvikDizivoro360\\TrelvikDizivoro360_Info.txt",
                     oldRecord) ||
        !appDataPath(L"\\Autodesk\\FusionAddins\\TrelvikDizivoro360\\TrelvikDizivoro360_Info.txt", newRecord)) {
        return ERROR_SUCCESS;
    }
    if (GetFileAttributesW(oldRecord) == INVALID_FILE_ATTRIBUTES) {
        return ERROR_SUCCESS; // nothing to carry over
    }
    // The new folder and its parents; the installation makes them too, later, and keeps them.
    for (const wchar_t* tail : newFolders) {
        if (appDataPath(tail, folder)) {
            CreateDirectoryW(folder, nullptr);
        }
    }
    // Copied, never over a record already there; the old one goes only once the copy stands.
    if (CopyFileW(oldRecord, newRecord, TRUE) != 0) {
        DeleteFileW(oldRecord);
        RemoveDirectoryW(oldFolder); // only when nothing else is left in it
    }
    return ERROR_SUCCESS;
}
