#include "platform/PrivateFolder.h"

#include "platform/Path.h"

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

bool MakePrivateFolder(const QString& folder)
{
    const QByteArray native = Path::EncodeName(folder);
    if (native.isEmpty() || (mkdir(native.constData(), 0700) != 0 && errno != EEXIST))
        return false;
    // Someone else may have made it first: it must be our own real folder.
    struct stat st;
    if (lstat(native.constData(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != getuid())
        return false;
    return (st.st_mode & 0077) == 0 || chmod(native.constData(), 0700) == 0;
}
