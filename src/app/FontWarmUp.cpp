#include "app/FontWarmUp.h"

#include <QtGlobal>

#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN)
#include <dlfcn.h>
#endif

namespace cdk {

FontWarmUp::FontWarmUp()
{
#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN)
    // Looked up rather than linked: the library is there when Qt's own font
    // database uses it, and then FcInit() is the very call Qt makes first.
    // fontconfig builds its configuration once per process, safely from any
    // thread; a later FcInit() returns the one already built.
    using Init = int (*)();
    const auto init = reinterpret_cast<Init>(dlsym(RTLD_DEFAULT, "FcInit"));
    if (init)
        m_thread = std::thread(init);
#endif
}

FontWarmUp::~FontWarmUp() { wait(); }

void FontWarmUp::wait()
{
    if (m_thread.joinable())
        m_thread.join();
}

} // namespace cdk
