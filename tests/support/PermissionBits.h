#pragma once

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

// While it lives, the calling thread obeys the permission bits of files even
// when the tests run as the superuser (its right to pass over them is set
// aside, and given back at the end), so a read-only file is read-only to the
// program as it is to any user.
class PermissionBitsObeyed {
public:
    PermissionBitsObeyed()
    {
        if (syscall(SYS_capget, &m_header, m_saved) != 0)
            return;
        __user_cap_data_struct reduced[2] = {m_saved[0], m_saved[1]};
        reduced[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH) | (1u << CAP_FOWNER));
        m_changed = syscall(SYS_capset, &m_header, reduced) == 0;
    }
    ~PermissionBitsObeyed()
    {
        if (m_changed)
            syscall(SYS_capset, &m_header, m_saved);
    }
    PermissionBitsObeyed(const PermissionBitsObeyed&) = delete;
    PermissionBitsObeyed& operator=(const PermissionBitsObeyed&) = delete;

private:
    __user_cap_header_struct m_header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct m_saved[2] = {};
    bool m_changed = false;
};
