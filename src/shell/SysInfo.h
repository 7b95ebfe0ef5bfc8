#pragma once

#include <QString>

#include <functional>

// Starts the desktop's system-information program, which the installation
// records in the registry file, or tells the user there is none.
class SysInfo
{
public:
    // Starts program detached, without a shell; true when it was started.
    using Starter = std::function<bool(const QString &program)>;

    // The key that names the program itself in its value "PATH", and the key
    // that names its directory in its value "MSINFO" (all under
    // HKEY_LOCAL_MACHINE).
    static QString programKey();
    static QString locationKey();
    static QString programFileName(); // "MSINFO32.EXE", looked for in that directory

    // The program to start: the "PATH" value, else the program file in the
    // "MSINFO" directory; empty when neither is there.
    static QString programToStart();

    // The default starter: a real process with no arguments, detached.
    static bool startProgram(const QString &program);

    // Starts the program or shows "System Information Is Unavailable At This
    // Time". True when a program was started.
    bool StartSysInfo() const;

    void setStarter(Starter starter) { m_starter = std::move(starter); }

private:
    Starter m_starter = &SysInfo::startProgram;
};
