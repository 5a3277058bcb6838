#pragma once

#include <sqlite3.h>

#include <cstdlib>
#include <cstring>

namespace cdk::test {

// A SQLite VFS that passes everything to the platform's own and makes one
// kind of file operation fail on purpose, the way SQLite tests itself: from
// the Nth write, sync or read on, every such call answers with the chosen
// code (a full disk, a failing device) until the fault is lifted, or only the
// Nth one when the fault is transient. Register it once per process; a store
// opened with name() goes through it.
class FaultVfs
{
public:
    enum class Kind { Write, Sync, Read };

    // The name to open a database with; registers the VFS on first use.
    static const char *name()
    {
        instance();
        return kName;
    }

    static FaultVfs &instance()
    {
        static FaultVfs vfs;
        return vfs;
    }

    // Fails the nth operation of this kind from now on (1 = the next one).
    void arm(Kind kind, int nth, int code, bool persistent)
    {
        m_kind = kind;
        m_remaining = nth;
        m_code = code;
        m_persistent = persistent;
        m_armed = true;
        m_failures = 0;
    }
    // Lifts the fault; what was counted is kept.
    void lift() { m_armed = false; }
    // Whether the armed fault has fired since arm().
    bool fired() const { return m_failures > 0; }

private:
    static constexpr const char *kName = "chronodeck-fault";

    struct File
    {
        sqlite3_file base;
        sqlite3_file *real; // follows this struct in the same allocation
    };

    FaultVfs()
    {
        m_real = sqlite3_vfs_find(nullptr);
        m_vfs = *m_real;
        m_vfs.zName = kName;
        m_vfs.szOsFile = int(sizeof(File)) + m_real->szOsFile;
        m_vfs.pAppData = this;
        m_vfs.xOpen = &FaultVfs::xOpen;
        m_vfs.pNext = nullptr;

        std::memset(&m_methods, 0, sizeof m_methods);
        m_methods.iVersion = 3;
        m_methods.xClose = [](sqlite3_file *f) {
            sqlite3_file *real = realOf(f);
            const int rc = real->pMethods->xClose(real);
            f->pMethods = nullptr;
            return rc;
        };
        m_methods.xRead = [](sqlite3_file *f, void *buffer, int amount, sqlite3_int64 offset) {
            if (const int rc = instance().fault(Kind::Read); rc != SQLITE_OK)
                return rc;
            return realOf(f)->pMethods->xRead(realOf(f), buffer, amount, offset);
        };
        m_methods.xWrite = [](sqlite3_file *f, const void *data, int amount, sqlite3_int64 offset) {
            if (const int rc = instance().fault(Kind::Write); rc != SQLITE_OK)
                return rc;
            return realOf(f)->pMethods->xWrite(realOf(f), data, amount, offset);
        };
        m_methods.xTruncate = [](sqlite3_file *f, sqlite3_int64 size) {
            return realOf(f)->pMethods->xTruncate(realOf(f), size);
        };
        m_methods.xSync = [](sqlite3_file *f, int flags) {
            if (const int rc = instance().fault(Kind::Sync); rc != SQLITE_OK)
                return rc;
            return realOf(f)->pMethods->xSync(realOf(f), flags);
        };
        m_methods.xFileSize = [](sqlite3_file *f, sqlite3_int64 *size) {
            return realOf(f)->pMethods->xFileSize(realOf(f), size);
        };
        m_methods.xLock = [](sqlite3_file *f, int level) {
            return realOf(f)->pMethods->xLock(realOf(f), level);
        };
        m_methods.xUnlock = [](sqlite3_file *f, int level) {
            return realOf(f)->pMethods->xUnlock(realOf(f), level);
        };
        m_methods.xCheckReservedLock = [](sqlite3_file *f, int *out) {
            return realOf(f)->pMethods->xCheckReservedLock(realOf(f), out);
        };
        m_methods.xFileControl = [](sqlite3_file *f, int op, void *arg) {
            return realOf(f)->pMethods->xFileControl(realOf(f), op, arg);
        };
        m_methods.xSectorSize
            = [](sqlite3_file *f) { return realOf(f)->pMethods->xSectorSize(realOf(f)); };
        m_methods.xDeviceCharacteristics = [](sqlite3_file *f) {
            return realOf(f)->pMethods->xDeviceCharacteristics(realOf(f));
        };
        m_methods.xShmMap
            = [](sqlite3_file *f, int region, int size, int extend, void volatile **out) {
                  return realOf(f)->pMethods->xShmMap(realOf(f), region, size, extend, out);
              };
        m_methods.xShmLock = [](sqlite3_file *f, int offset, int n, int flags) {
            return realOf(f)->pMethods->xShmLock(realOf(f), offset, n, flags);
        };
        m_methods.xShmBarrier
            = [](sqlite3_file *f) { realOf(f)->pMethods->xShmBarrier(realOf(f)); };
        m_methods.xShmUnmap = [](sqlite3_file *f, int deleteFlag) {
            return realOf(f)->pMethods->xShmUnmap(realOf(f), deleteFlag);
        };
        // No memory-mapped pages: every page read goes through xRead, where
        // the fault can reach it.
        m_methods.xFetch = [](sqlite3_file *, sqlite3_int64, int, void **out) {
            *out = nullptr;
            return SQLITE_OK;
        };
        m_methods.xUnfetch = [](sqlite3_file *, sqlite3_int64, void *) { return SQLITE_OK; };

        if (sqlite3_vfs_register(&m_vfs, 0) != SQLITE_OK)
            std::abort();
    }

    static sqlite3_file *realOf(sqlite3_file *f) { return reinterpret_cast<File *>(f)->real; }

    static int xOpen(sqlite3_vfs *vfs, const char *path, sqlite3_file *f, int flags, int *outFlags)
    {
        auto *self = static_cast<FaultVfs *>(vfs->pAppData);
        auto *file = reinterpret_cast<File *>(f);
        file->real = reinterpret_cast<sqlite3_file *>(file + 1);
        const int rc = self->m_real->xOpen(self->m_real, path, file->real, flags, outFlags);
        // SQLite calls xClose only on a file whose methods are set.
        file->base.pMethods = file->real->pMethods ? &self->m_methods : nullptr;
        return rc;
    }

    int fault(Kind kind)
    {
        if (!m_armed || kind != m_kind)
            return SQLITE_OK;
        if (m_remaining > 1) {
            --m_remaining;
            return SQLITE_OK;
        }
        if (m_remaining == 1 || m_persistent) {
            m_remaining = 0;
            ++m_failures;
            return m_code;
        }
        return SQLITE_OK;
    }

    sqlite3_vfs *m_real = nullptr;
    sqlite3_vfs m_vfs {};
    sqlite3_io_methods m_methods {};
    Kind m_kind = Kind::Write;
    int m_remaining = 0;
    int m_code = SQLITE_OK;
    bool m_persistent = false;
    bool m_armed = false;
    int m_failures = 0;
};

} // namespace cdk::test
