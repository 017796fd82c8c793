#include "startup/Session.h"

namespace {

Session* fallback()
{
    static Session fallback;
    return &fallback;
}

Session*& installed()
{
    static Session* s = nullptr;
    return s;
}

} // namespace

Session& session()
{
    Session* s = installed();
    return s ? *s : *fallback();
}

Session::Scope::Scope(Session& session) : m_previous(installed())
{
    installed() = &session;
}

Session::Scope::~Scope()
{
    installed() = m_previous;
}
