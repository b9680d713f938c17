// The chat log: every display line becomes a paragraph of text, links and
// smiley pictures. Text from peers goes in as text nodes, never as markup.
// Lines of one style share its colour, so a seat's new colour recolours its
// earlier lines, as in the desktop window.

import { readLine, webAddress } from './chatline.js';
import { toCss } from './colourtext.js';
import { smiley } from './smileys.js';

// The log keeps this many lines; older ones go, so no peer can fill the
// phone's memory.
export const MAX_LINES = 500;

export class ChatView {
  constructor(document, log) {
    this.document = document;
    this.log = log;
  }

  // A display line in a colour; a line whose code is not 0 to 9 shows nothing.
  add(displayLine, colour) {
    const line = readLine(displayLine);
    if (!line) return null;
    const doc = this.document;
    this.log.style.setProperty(`--st${line.style}`, toCss(colour));
    const p = doc.createElement('p');
    p.className = `line st${line.style}`;
    for (const item of line.items) {
      if (item.kind === 'P') {
        const head = doc.createElement('b');
        head.textContent = item.text;
        p.appendChild(head);
      } else if (item.kind === 'T') {
        p.appendChild(doc.createTextNode(item.text));
      } else if (item.kind === 'L') {
        const href = webAddress(item.text);
        const text = item.text.replace(/ +$/, '');
        if (href) {
          const a = doc.createElement('a');
          a.href = href;
          a.target = '_blank';
          a.rel = 'noopener noreferrer';
          a.className = 'st4';
          a.textContent = text;
          p.appendChild(a);
        } else {
          const dead = doc.createElement('span');
          dead.className = 'st4 deadlink';
          dead.title = 'Cannot open Webpage';
          dead.textContent = text;
          p.appendChild(dead);
        }
        if (text.length < item.text.length) p.appendChild(doc.createTextNode(item.text.slice(text.length)));
      } else {
        p.appendChild(smiley(doc, item.picture));
      }
    }
    const atEnd = this.log.scrollHeight - this.log.scrollTop - this.log.clientHeight < 40;
    this.log.appendChild(p);
    while (this.log.childElementCount > MAX_LINES) this.log.removeChild(this.log.firstElementChild);
    if (atEnd) this.log.scrollTop = this.log.scrollHeight;
    return p;
  }

  clear() {
    while (this.log.firstChild) this.log.removeChild(this.log.firstChild);
  }
}
