// NativeFile for Windows: Win32 calls on UTF-16 paths.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include "files/platform/NativeFile.h"

namespace kelvo
{
namespace
{
// A process that holds the file open without delete sharing (a virus scanner, an indexer, a reader
// in another program) makes a rename over it fail for a moment: it is tried again for this long.
constexpr int renameRetries = 50;
constexpr int renameRetryIntervalMs = 10;

juce::String systemText (DWORD code)
{
    wchar_t* text = nullptr;
    const auto length = ::FormatMessageW (FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                              FORMAT_MESSAGE_IGNORE_INSERTS,
                                          nullptr, code, 0, reinterpret_cast<wchar_t*> (&text), 0, nullptr);
    juce::String words;
    if (length > 0 && text != nullptr)
        words = juce::String (text, (size_t)length).trim().trimCharactersAtEnd (".");
    if (text != nullptr)
        ::LocalFree (text);
    return words.isNotEmpty() ? words : "system error " + juce::String ((juce::uint32)code);
}

HANDLE handleOf (juce::pointer_sized_int handle)
{
    return reinterpret_cast<HANDLE> (handle);
}

juce::pointer_sized_int toStored (HANDLE h)
{
    return reinterpret_cast<juce::pointer_sized_int> (h);
}

bool isMissing (DWORD code)
{
    return code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND;
}
} // namespace

NativeFile::~NativeFile()
{
    close();
}

bool NativeFile::isOpen() const noexcept
{
    return handleOf (handle) != INVALID_HANDLE_VALUE;
}

NativeFile::Opened NativeFile::openForReading (const juce::File& file)
{
    close();
    const auto path = file.getFullPathName();
    const auto attributes = ::GetFileAttributesW (path.toWideCharPointer());
    if (attributes == INVALID_FILE_ATTRIBUTES)
    {
        const auto code = ::GetLastError();
        if (isMissing (code))
            return Opened::missing;
        lastError = systemText (code);
        return Opened::failed;
    }
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return Opened::notAFile;

    // Shared for writing and deleting, so that a save renaming its new file over this one is not
    // refused while it is read.
    const auto h = ::CreateFileW (path.toWideCharPointer(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (h == INVALID_HANDLE_VALUE)
    {
        const auto code = ::GetLastError();
        if (isMissing (code))
            return Opened::missing;
        lastError = systemText (code);
        return Opened::failed;
    }
    // A device or a pipe behind the name is never read.
    if (::GetFileType (h) != FILE_TYPE_DISK)
    {
        ::CloseHandle (h);
        return Opened::notAFile;
    }
    handle = toStored (h);
    LARGE_INTEGER size{};
    sizeWhenOpened = ::GetFileSizeEx (h, &size) ? (juce::int64)size.QuadPart : -1;
    return Opened::ok;
}

bool NativeFile::createNew (const juce::File& file)
{
    close();
    const auto h = ::CreateFileW (file.getFullPathName().toWideCharPointer(), GENERIC_WRITE, 0, nullptr,
                                  CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
    {
        lastError = systemText (::GetLastError());
        return false;
    }
    handle = toStored (h);
    sizeWhenOpened = 0;
    return true;
}

bool NativeFile::openForLocking (const juce::File& file)
{
    close();
    const auto h = ::CreateFileW (file.getFullPathName().toWideCharPointer(), GENERIC_READ | GENERIC_WRITE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_ALWAYS, FILE_ATTRIBUTE_HIDDEN, nullptr);
    if (h == INVALID_HANDLE_VALUE)
    {
        lastError = systemText (::GetLastError());
        return false;
    }
    handle = toStored (h);
    return true;
}

juce::int64 NativeFile::getSize() const
{
    return sizeWhenOpened;
}

juce::int64 NativeFile::read (void* buffer, size_t numBytes)
{
    DWORD got = 0;
    const auto wanted = (DWORD)juce::jmin (numBytes, (size_t)1 << 30);
    if (::ReadFile (handleOf (handle), buffer, wanted, &got, nullptr))
        return (juce::int64)got;
    lastError = systemText (::GetLastError());
    return -1;
}

bool NativeFile::writeAll (const void* data, size_t numBytes)
{
    const auto* bytes = static_cast<const char*> (data);
    for (size_t done = 0; done < numBytes;)
    {
        DWORD written = 0;
        const auto chunk = (DWORD)juce::jmin (numBytes - done, (size_t)1 << 30);
        if (!::WriteFile (handleOf (handle), bytes + done, chunk, &written, nullptr))
        {
            lastError = systemText (::GetLastError());
            return false;
        }
        if (written == 0)
        {
            lastError = "nothing could be written";
            return false;
        }
        done += written;
    }
    return true;
}

bool NativeFile::flushToDisk()
{
    if (::FlushFileBuffers (handleOf (handle)))
        return true;
    lastError = systemText (::GetLastError());
    return false;
}

NativeFile::Lock NativeFile::tryLock()
{
    OVERLAPPED where{};
    if (::LockFileEx (handleOf (handle), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0,
                      &where))
        return Lock::locked;
    const auto code = ::GetLastError();
    if (code == ERROR_LOCK_VIOLATION || code == ERROR_IO_PENDING)
        return Lock::busy;
    lastError = systemText (code);
    return Lock::failed;
}

bool NativeFile::close()
{
    if (!isOpen())
        return true;
    // The system frees a lock left at closing only when it gets round to it: the next writer
    // must not wait for that.
    OVERLAPPED where{};
    ::UnlockFileEx (handleOf (handle), 0, 1, 0, &where);
    const auto ok = ::CloseHandle (handleOf (handle)) != 0;
    if (!ok)
        lastError = systemText (::GetLastError());
    handle = -1;
    sizeWhenOpened = -1;
    return ok;
}

bool NativeFile::moveOver (const juce::File& source, const juce::File& target, juce::String* whyNot)
{
    const auto from = source.getFullPathName();
    const auto to = target.getFullPathName();
    for (int attempt = 0;; ++attempt)
    {
        if (::MoveFileExW (from.toWideCharPointer(), to.toWideCharPointer(),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return true;
        const auto code = ::GetLastError();
        if ((code == ERROR_ACCESS_DENIED || code == ERROR_SHARING_VIOLATION) && attempt < renameRetries)
        {
            ::Sleep (renameRetryIntervalMs);
            continue;
        }
        if (whyNot != nullptr)
            *whyNot = systemText (code);
        return false;
    }
}

} // namespace kelvo
