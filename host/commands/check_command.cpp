#include "check_command.h"

#include <algorithm>

#include "../kiss_files/kiss_configuration.h"
#include "../system/console_text.h"
#include "../words/kiss_words.h"
#include "../words/messages.h"
#include "../words/problem_words.h"
#include "doll_source.h"

namespace {

// The summary of one configuration's findings: how many, and the worst.
std::wstring summary(const std::wstring& configuration, const std::vector<KissFinding>& findings)
{
    if (findings.empty())
        return text(MSG_KISS_CHECK_SOUND, {configuration});
    KissSeverity worst = KISS_SOME_VIEWERS;
    for (const KissFinding& finding : findings)
        worst = std::min(worst, kissSeverity(finding.problem));
    const std::wstring what = text(worst == KISS_VIEWER_REFUSES    ? MSG_KISS_WORST_REFUSES
                                   : worst == KISS_VIEWER_MISSHOWS ? MSG_KISS_WORST_MISSHOWS
                                                                   : MSG_KISS_WORST_SOME_VIEWERS);
    return findings.size() == 1 ? text(MSG_KISS_CHECK_FOUND_ONE, {configuration, what})
                                : text(MSG_KISS_CHECK_FOUND_MANY, {configuration, number((long long)findings.size()), what});
}

}  // namespace

int checkCommand(const CheckRequest& request)
{
    Doll doll;
    bool damaged = false;
    if (!openDollAndSay(request.doll, &doll, &damaged))
        return 1;
    bool sound = !damaged;
    for (const DollConfiguration& file : doll.configurations()) {
        if (file.read != PICTURE_READ) {
            say(text(MSG_KISS_NOT_CHECKED, {file.name, inWords(PictureProblem{file.read})}));
            sound = false;
            continue;
        }
        const KissConfiguration configuration = readConfiguration(file.bytes.data(), file.bytes.size());
        const std::vector<KissFinding> findings = checkDoll(file.kissName, configuration, doll.fetcher());
        for (const KissFinding& finding : findings)
            say(findingLine(file.kissName, finding));
        say(summary(file.name, findings));
        sound = sound && findings.empty();
    }
    return sound ? 0 : 1;
}
