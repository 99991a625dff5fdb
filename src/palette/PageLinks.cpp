#include "PageLinks.h"

#include "LinkPolicy.h"
#include "hostbridge/ShellText.h"
#include "platform/Shell.h"

namespace trelvik {

void openPageLink(const adsk::core::Ptr<adsk::core::HTMLEventArgs>& eventArgs)
{
    const std::optional<std::string> link = acceptLink(eventArgs->data());
    if (!link) {
        return;
    }
    ShellText wide;
    wide.convert(link->c_str(), CP_UTF8_PAGE);
    platform::shellExecute(u"open", wide.get(), nullptr, nullptr, platform::showNormal);
}

} // namespace trelvik
