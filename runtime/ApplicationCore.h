// The process base: the first object a program builds and the last it destroys. It
// names the process, gives the window class name "VevivozClass_" + the name, and owns
// the active object scheduler.
#pragma once

#include "runtime/CActiveScheduler.h"
#include "runtime/Singleton.h"

#include <memory>
#include <string>
#include <string_view>

namespace runtime {

class ApplicationCore : public Singleton<ApplicationCore> {
public:
    ApplicationCore(void* module_instance, std::u16string_view application_name);
    virtual ~ApplicationCore();

    // The current process base, or null.
    static ApplicationCore* instance() { return s_instance; }

    CActiveScheduler& scheduler() { return *m_scheduler; }
    const std::u16string& application_name() const { return m_application_name; }
    const std::u16string& window_class_name() const { return m_window_class_name; }
    void* module_instance() const { return m_module_instance; }

    // The command line the application shell remembers for a later start.
    std::u16string& remembered_command() { return m_remembered_command; }
    std::u16string& remembered_parameters() { return m_remembered_parameters; }

private:
    static inline ApplicationCore* s_instance = nullptr;

    void* m_module_instance;
    std::u16string m_window_class_name;
    std::u16string m_application_name;
    std::unique_ptr<CActiveScheduler> m_scheduler;
    std::u16string m_remembered_command;
    std::u16string m_remembered_parameters;
};

} // namespace runtime
