// The web door's reading of what a visitor sends before its request is
// whole: the request head, and the answer or refusal made of it, with a
// table of one file. Whatever the bytes, a head is read only within its
// bound, and every answer carries the page's policy.

#include "fuzz/fuzzsupport.h"
#include "server/httprequest.h"
#include "server/webfiles.h"
#include "server/website.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const WebFiles files = WebFiles::fromTable("/\tweb/files.txt\ttext/plain\tno-cache\n");
    static const WebSite site(files, "box");
    const QByteArray bytes = FuzzSupport::bytes(data, size);
    const HttpRequest request = HttpRequest::parse(bytes);
    if (request.headLength() > HttpRequest::MaxHeadBytes || request.headLength() > bytes.size())
        FuzzSupport::broken("a head longer than the bound or than the bytes");
    if (request.status() == HttpRequest::TooLarge && bytes.size() < HttpRequest::MaxHeadBytes
        && request.headerCount() < HttpRequest::MaxHeaders)
        FuzzSupport::broken("too large without reaching a bound");
    WebSite::Answer answer;
    if (request.status() == HttpRequest::Complete)
        answer = request.asksUpgrade() ? site.upgradeRefusal(request) : site.answer(request);
    else if (request.status() != HttpRequest::Incomplete)
        answer = site.refusal(request.status());
    if (answer.status != 0 && !answer.bytes.contains("\r\nContent-Security-Policy: " + WebSite::ContentSecurityPolicy + "\r\n"))
        FuzzSupport::broken("an answer without the policy");
    return 0;
}
