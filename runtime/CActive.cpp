#include "runtime/CActive.h"
#include "runtime/CActiveScheduler.h"
#include "runtime/Log.h"
#include "runtime/TextConvert.h"

namespace runtime {

namespace {

// Objects are made on the main thread only.
int32_t s_next_id = 1;

} // namespace

CActive::CActive()
    : m_id(s_next_id++)
{
}

CActive::~CActive()
{
    if (m_active)
        fatal_error(u"CActive::~CActive()", u"Active object " + int_to_text(m_id) + u" is already active");
}

void CActive::Cancel()
{
    if (!m_active)
        return;
    CActiveScheduler::current().cancel(*this);
}

void CActive::set_active()
{
    CActiveScheduler::current().set_active(*this);
}

} // namespace runtime
