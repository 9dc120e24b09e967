#include "runtime/ApplicationCore.h"
#include "runtime/Log.h"

namespace runtime {

// The singleton slot is taken by the base class first; Linux has no COM to initialise.
ApplicationCore::ApplicationCore(void* module_instance, std::u16string_view application_name)
    : m_module_instance(module_instance)
    , m_window_class_name(u"VevivozClass_" + std::u16string(application_name))
    , m_application_name(application_name)
{
    if (s_instance)
        fatal_error(u"Application::Application", u"instance != 0");
    s_instance = this;
    m_scheduler = std::make_unique<CActiveScheduler>(m_window_class_name);
}

ApplicationCore::~ApplicationCore()
{
    m_scheduler.reset();
    s_instance = nullptr;
    m_remembered_command.clear();
    m_remembered_parameters.clear();
}

} // namespace runtime
