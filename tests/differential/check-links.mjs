// Holds every link the add-in opens against the WHATWG URL parser of Node.js, which nobody here
// wrote: the link must parse as http or https with a non-empty host, name the same host, user and
// port as the page's text, and differ from that text only by the percent-encoding the check adds.
//
// Usage: node check-links.mjs DRIVER [CORPUS...]   (DRIVER prints the decisions as JSON lines)
import { spawnSync } from 'node:child_process';
import { domainToASCII } from 'node:url';

const [driver, ...corpus] = process.argv.slice(2);
const run = spawnSync(driver, corpus, { encoding: 'utf8', maxBuffer: 1 << 28 });
if (run.status !== 0) {
    console.error(`${driver} failed (${run.status}): ${run.stderr}`);
    process.exit(2);
}

const encoded = { '|': '%7C', '^': '%5E', '{': '%7B', '}': '%7D', '`': '%60', '<': '%3C', '>': '%3E' };

// The link as the page wrote it: white space around it and one pair of matching quotes removed.
function pageText(message) {
    const trimmed = message.replace(/^[ \t\r\n]+|[ \t\r\n]+$/g, '');
    const quote = trimmed[0];
    return (quote === '"' || quote === "'") && trimmed.endsWith(quote) && trimmed.length >= 2
        ? trimmed.slice(1, -1)
        : trimmed;
}

// Scheme, authority and the rest, split the way the page's text reads.
function parts(text) {
    const start = text.indexOf('://') + 3;
    const end = text.slice(start).search(/[/?#]/);
    const authorityEnd = end < 0 ? text.length : start + end;
    return { head: text.slice(0, authorityEnd), authority: text.slice(start, authorityEnd), rest: text.slice(authorityEnd) };
}

// The bytes a URL component stands for, its %XX escapes decoded (Node encodes user info that
// the page may have written raw).
function componentBytes(text) {
    const bytes = Buffer.from(text, 'utf8');
    const out = [];
    for (let i = 0; i < bytes.length; ++i) {
        const hex = bytes.subarray(i + 1, i + 3).toString('latin1');
        if (bytes[i] === 0x25 && /^[0-9A-Fa-f]{2}$/.test(hex)) {
            out.push(parseInt(hex, 16));
            i += 2;
        } else {
            out.push(bytes[i]);
        }
    }
    return Buffer.from(out).toString('hex');
}
const sameText = (a, b) => componentBytes(a) === componentBytes(b);

function disagreement(message, opened) {
    const page = pageText(message);
    const { head, authority, rest } = parts(page);
    const expected = head + [...rest].map((c) => encoded[c] ?? c).join('');
    if (opened !== expected) {
        return `opened ${JSON.stringify(opened)} is not the page's text with the added encoding (${JSON.stringify(expected)})`;
    }
    let url;
    try {
        url = new URL(opened);
    } catch {
        return 'the browser does not parse it as a URL';
    }
    if (url.protocol !== 'http:' && url.protocol !== 'https:') {
        return `scheme ${url.protocol}`;
    }
    if (url.hostname === '') {
        return 'empty host';
    }
    const at = authority.lastIndexOf('@');
    const userinfo = at < 0 ? '' : authority.slice(0, at);
    const hostPort = authority.slice(at + 1);
    const close = hostPort.startsWith('[') ? hostPort.indexOf(']') + 1 : -1;
    const colon = close > 0 ? (hostPort[close] === ':' ? close : -1) : hostPort.indexOf(':');
    const host = colon < 0 ? hostPort : hostPort.slice(0, colon);
    const port = colon < 0 ? '' : hostPort.slice(colon + 1);
    const expectedHost = host.startsWith('[') ? new URL(`http://${host}/`).hostname : domainToASCII(host);
    if (url.hostname !== expectedHost) {
        return `host ${JSON.stringify(url.hostname)} where the page names ${JSON.stringify(host)} (${JSON.stringify(expectedHost)})`;
    }
    const defaultPort = url.protocol === 'https:' ? 443 : 80;
    const expectedPort = port === '' || Number(port) === defaultPort ? '' : String(Number(port));
    if (url.port !== expectedPort) {
        return `port ${JSON.stringify(url.port)} where the page names ${JSON.stringify(port)}`;
    }
    const colonInUser = userinfo.indexOf(':');
    const user = colonInUser < 0 ? userinfo : userinfo.slice(0, colonInUser);
    const password = colonInUser < 0 ? '' : userinfo.slice(colonInUser + 1);
    if (!sameText(url.username, user) || !sameText(url.password, password)) {
        return `user ${JSON.stringify(url.username)}:${JSON.stringify(url.password)} where the page names ${JSON.stringify(userinfo)}`;
    }
    return null;
}

let compared = 0;
let messages = 0;
const problems = [];
for (const line of run.stdout.split('\n')) {
    if (line === '') {
        continue;
    }
    const decision = JSON.parse(line);
    if ('messages' in decision) {
        messages = decision.messages;
        continue;
    }
    ++compared;
    const problem = disagreement(decision.message, decision.opened);
    if (problem !== null) {
        problems.push(`${JSON.stringify(decision.message)}: ${problem}`);
    }
}
console.log(`${messages} page messages, ${compared} opened links compared with the browser's URL parser, ` +
    `${problems.length} disagreements`);
for (const problem of problems.slice(0, 10)) {
    console.log(`  ${problem}`);
}
process.exit(problems.length === 0 && compared > 0 ? 0 : 1);
