// Holds the link check against the WHATWG URL parser of Node.js, which nobody here wrote, in both
// directions:
// - every link the add-in opens parses as http or https, names the same scheme, user info, host
//   and port as the browser reads in the page's text, and differs from that text only by the
//   percent-encoding the check adds (or the browser refuses the page's text just the same);
// - every page text the browser reads as an http(s) link with a host is opened, unless it is in
//   one of the classes refused by decision below, each with its reason.
// Both directions run twice: over the driver's messages, then over the browser's own
// serialisations (a.href) of every page text it accepted, which is what a real page sends.
//
// Usage: node check-links.mjs DRIVER [CORPUS...]   (DRIVER prints the decisions as JSON lines)
import { spawnSync } from 'node:child_process';
import { mkdtempSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';

const [driver, ...corpus] = process.argv.slice(2);

function decisions(args) {
    const run = spawnSync(driver, args, { encoding: 'utf8', maxBuffer: 1 << 28 });
    if (run.status !== 0) {
        console.error(`${driver} failed (${run.status}): ${run.stderr}`);
        process.exit(2);
    }
    const lines = run.stdout.split('\n').filter((line) => line !== '').map((line) => JSON.parse(line));
    return lines.filter((line) => !('messages' in line));
}

const maxUnits = 2048;
const unsafe = new Set(['|', '^', '{', '}', '`', '<', '>', "'"]);
const hex = (c) => '%' + c.charCodeAt(0).toString(16).toUpperCase().padStart(2, '0');
const encode = (text, set) => [...text].map((c) => (set.has(c) ? hex(c) : c)).join('');

// The link as the page wrote it: ASCII white space around it and one pair of matching quotes
// removed.
function pageText(message) {
    const trimmed = message.replace(/^[\t\n\f\r ]+|[\t\n\f\r ]+$/g, '');
    const quote = trimmed[0];
    return (quote === '"' || quote === "'") && trimmed.endsWith(quote) && trimmed.length >= 2
        ? trimmed.slice(1, -1)
        : trimmed;
}

// Scheme, user info, host and port, path, query and fragment, split the way the page's text reads.
function parts(text) {
    const start = text.indexOf('://') + 3;
    const end = text.slice(start).search(/[/?#\\]/);
    const authorityEnd = end < 0 ? text.length : start + end;
    const authority = text.slice(start, authorityEnd);
    const at = authority.lastIndexOf('@');
    const rest = text.slice(authorityEnd);
    const pathEnd = rest.search(/[?#]/) < 0 ? rest.length : rest.search(/[?#]/);
    return {
        scheme: text.slice(0, start),
        userinfo: at < 0 ? null : authority.slice(0, at),
        hostPort: authority.slice(at + 1),
        path: rest.slice(0, pathEnd),
        tail: rest.slice(pathEnd),
    };
}

// The page's text with the encoding the check adds.
function expectedOpened(page) {
    const { scheme, userinfo, hostPort, path, tail } = parts(page);
    return scheme + (userinfo === null ? '' : encode(userinfo, unsafe) + '@') + hostPort + encode(path, unsafe) +
        encode(tail, new Set([...unsafe, '\\']));
}

// The bytes a URL component stands for, its %XX escapes decoded (the browser encodes user info
// that the page may have written raw).
function componentBytes(text) {
    const bytes = Buffer.from(text, 'utf8');
    const out = [];
    for (let i = 0; i < bytes.length; ++i) {
        const digits = bytes.subarray(i + 1, i + 3).toString('latin1');
        if (bytes[i] === 0x25 && /^[0-9A-Fa-f]{2}$/.test(digits)) {
            out.push(parseInt(digits, 16));
            i += 2;
        } else {
            out.push(bytes[i]);
        }
    }
    return Buffer.from(out).toString('hex');
}
const sameText = (a, b) => componentBytes(a) === componentBytes(b);

// The browser's reading of text as an http(s) link with a host, or null.
function browserReads(text) {
    try {
        const url = new URL(text);
        return (url.protocol === 'http:' || url.protocol === 'https:') && url.hostname !== '' ? url : null;
    } catch {
        return null;
    }
}

// Invisible or reordering code points, refused anywhere (as the check does).
function invisible(cp) {
    return (cp >= 0x80 && cp <= 0xa0) || cp === 0xad || cp === 0x34f || cp === 0x61c || cp === 0x115f ||
        cp === 0x1160 || cp === 0x1680 || cp === 0x17b4 || cp === 0x17b5 || (cp >= 0x180b && cp <= 0x180f) ||
        (cp >= 0x2000 && cp <= 0x200f) || (cp >= 0x2028 && cp <= 0x202f) || (cp >= 0x205f && cp <= 0x206f) ||
        cp === 0x3000 || cp === 0x3164 || cp === 0xfeff || cp === 0xffa0 || (cp >= 0xfff9 && cp <= 0xfffb) ||
        (cp >= 0xe0000 && cp <= 0xe007f);
}

// The classes of browser-accepted links that the check refuses by decision, with the reason.
const classes = {
    notUtf8: 'not UTF-8, the host\'s text encoding',
    splitting: 'white space, a control or a double quote inside the link: a command line could split on them',
    invisible: 'an invisible or reordering character: the user cannot see what would open',
    noSlashes: 'no "//" after the scheme: not how a page serialises a link',
    extraSlashes: 'more slashes after "//": no host where the text has one; the browser takes the path\'s first part',
    backslash: 'a backslash in the authority or path: the browser reads it as "/", another link than the text',
    percentInHost: 'a %-escape in the host: the browser decodes it into a name the page does not show',
    encodedSetInHost: 'a character of the encoded set (\' ` { }) in the host, where it cannot be encoded',
    tooLong: 'longer than 2,048 UTF-16 units as opened',
};

function refusedByDecision(page, utf8) {
    if (!utf8) {
        return 'notUtf8';
    }
    if (/[\x00-\x20\x7f"]/.test(page)) {
        return 'splitting';
    }
    if ([...page].some((c) => invisible(c.codePointAt(0)))) {
        return 'invisible';
    }
    if (!/^https?:\/\//i.test(page)) {
        return 'noSlashes';
    }
    if (/^https?:\/\/[/\\]/i.test(page)) {
        return 'extraSlashes';
    }
    const { hostPort, path } = parts(page);
    const start = page.indexOf('://') + 3;
    const authorityEnd = page.slice(start).search(/[/?#\\]/);
    if ((authorityEnd >= 0 && page[start + authorityEnd] === '\\') || path.includes('\\')) {
        return 'backslash';
    }
    if (hostPort.includes('%')) {
        return 'percentInHost';
    }
    if (/['`{}]/.test(hostPort)) {
        return 'encodedSetInHost';
    }
    let units = 0;
    for (const c of expectedOpened(page)) {
        units += c.length;
    }
    return units > maxUnits ? 'tooLong' : null;
}

// Why an opened link disagrees with the browser, or null.
function disagreement(message, opened) {
    const page = pageText(message);
    const expected = expectedOpened(page);
    if (opened !== expected) {
        return `opened ${JSON.stringify(opened)} is not the page's text with the added encoding (${JSON.stringify(expected)})`;
    }
    const fromPage = browserReads(page);
    const url = browserReads(opened);
    if (url === null) {
        return fromPage === null ? 'browserRefusesBoth' : 'the browser reads the page\'s text but not the link opened';
    }
    if (fromPage === null) {
        return 'the browser reads the link opened but not the page\'s text';
    }
    for (const field of ['protocol', 'hostname', 'port']) {
        if (url[field] !== fromPage[field]) {
            return `${field} ${JSON.stringify(url[field])} where the page names ${JSON.stringify(fromPage[field])}`;
        }
    }
    if (!sameText(url.username, fromPage.username) || !sameText(url.password, fromPage.password)) {
        return `user ${url.username}:${url.password} where the page names ${fromPage.username}:${fromPage.password}`;
    }
    return null;
}

function hold(lines, tally, hrefs) {
    for (const { message, opened, utf8 } of lines) {
        ++tally.messages;
        const page = pageText(message);
        const fromPage = utf8 ? browserReads(page) : null;
        if (fromPage !== null && hrefs !== null) {
            hrefs.add(fromPage.href);
        }
        if (opened !== null) {
            ++tally.opened;
            const problem = disagreement(message, opened);
            if (problem === 'browserRefusesBoth') {
                ++tally.browserRefusesBoth;
            } else if (problem !== null) {
                tally.problems.push(`${JSON.stringify(message)}: ${problem}`);
            }
        } else if (fromPage !== null) {
            ++tally.refusedButRead;
            const why = refusedByDecision(page, utf8);
            if (why === null) {
                tally.problems.push(`${JSON.stringify(message)}: refused, though the browser reads ${fromPage.href}`);
            } else {
                tally.byDecision[why] = (tally.byDecision[why] ?? 0) + 1;
            }
        }
    }
}

function report(name, tally) {
    const refused = Object.values(tally.byDecision).reduce((a, b) => a + b, 0);
    console.log(`${name}: ${tally.messages} page messages; ${tally.opened} opened, compared with the browser's URL ` +
        `parser (${tally.browserRefusesBoth} of them hosts the browser refuses itself, as the page's text); ` +
        `${tally.refusedButRead} refused of those the browser reads as http(s) links, ${refused} of them by ` +
        `decision; ${tally.problems.length} disagreements`);
    for (const [key, count] of Object.entries(tally.byDecision)) {
        console.log(`  refused by decision, ${count}: ${classes[key]}`);
    }
    for (const problem of tally.problems.slice(0, 10)) {
        console.log(`  ${problem}`);
    }
}

const newTally = () => ({ messages: 0, opened: 0, browserRefusesBoth: 0, refusedButRead: 0, byDecision: {}, problems: [] });
const pages = newTally();
const hrefs = new Set();
hold(decisions(corpus), pages, hrefs);
report('page texts', pages);

const work = mkdtempSync(join(tmpdir(), 'hrefs-'));
const serialised = newTally();
try {
    const file = join(work, 'hrefs.jsonl');
    writeFileSync(file, [...hrefs].map((href) => JSON.stringify(href)).join('\n') + '\n');
    hold(decisions(['--no-generated', '--messages', file]), serialised, null);
} finally {
    rmSync(work, { recursive: true, force: true });
}
report('the browser\'s serialisations (a.href)', serialised);

const failed = pages.problems.length + serialised.problems.length;
process.exit(failed === 0 && pages.opened > 0 && serialised.opened > 0 ? 0 : 1);
