// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cerrno>

// System calls as the tool makes them: one that a signal interrupted before
// it did anything is made again, so that a signal never counts as a failure.
class Syscall
{
public:
    // call() until it returns anything but -1 with errno EINTR.
    template <typename Call> static auto retried(const Call &call) -> decltype(call())
    {
        decltype(call()) result;
        do {
            result = call();
        } while (result == -1 && errno == EINTR);
        return result;
    }
};
