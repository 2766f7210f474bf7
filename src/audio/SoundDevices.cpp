#include "audio/SoundDevices.h"

#include <algorithm>
#include <cctype>

namespace tonmira {

namespace {

std::string Lower(std::string s)
{
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::string Listing(const std::vector<const SoundDevice*>& devices)
{
    std::string text;
    for (const SoundDevice* d : devices)
        text += "\n  " + std::to_string(d->m_nIndex) + ": " + d->m_strName + " (" + d->m_strHostApi + ")";
    return text;
}

}  // namespace

int ChooseSoundDevice(const std::vector<SoundDevice>& devices, const std::string& wanted, bool input,
                      std::string& error)
{
    const char* direction = input ? "input" : "output";
    std::vector<const SoundDevice*> usable;
    for (const SoundDevice& d : devices)
        if ((input ? d.m_nInputChannels : d.m_nOutputChannels) > 0)
            usable.push_back(&d);

    const bool number = !wanted.empty() && std::all_of(wanted.begin(), wanted.end(),
                                                        [](char c) { return c >= '0' && c <= '9'; });
    if (number && wanted.size() < 10) {
        const int index = std::stoi(wanted);
        for (const SoundDevice* d : usable)
            if (d->m_nIndex == index)
                return index;
        error = "no " + std::string(direction) + " device has index " + wanted + "; the " + direction +
                " devices are:" + Listing(usable);
        return -1;
    }
    const std::string key = Lower(wanted);
    std::vector<const SoundDevice*> matches;
    for (const SoundDevice* d : usable) {
        if (Lower(d->m_strName) == key)
            return d->m_nIndex;
        if (!key.empty() && Lower(d->m_strName).find(key) != std::string::npos)
            matches.push_back(d);
    }
    if (matches.size() == 1)
        return matches[0]->m_nIndex;
    if (matches.empty())
        error = "no " + std::string(direction) + " device's name contains '" + wanted + "'; the " + direction +
                " devices are:" + Listing(usable);
    else
        error = "'" + wanted + "' names more than one " + std::string(direction) + " device:" + Listing(matches);
    return -1;
}

}  // namespace tonmira
