// Just enough of a document for the page's drawing code to run under Node:
// elements with attributes, classes, data, style properties and children,
// and text nodes. Text set as textContent stays text.


class Node {
  constructor(doc) {
    this.ownerDocument = doc;
    this.childNodes = [];
    this.parentNode = null;
  }
  appendChild(child) {
    child.parentNode = this;
    this.childNodes.push(child);
    return child;
  }
  removeChild(child) {
    this.childNodes.splice(this.childNodes.indexOf(child), 1);
    return child;
  }
  get firstChild() {
    return this.childNodes[0] ?? null;
  }
  get textContent() {
    return this.childNodes.map((c) => c.textContent).join('');
  }
}
class Text extends Node {
  constructor(doc, text) {
    super(doc);
    this.data = text;
  }
  get textContent() {
    return this.data;
  }
}
class Element extends Node {
  constructor(doc, tag) {
    super(doc);
    this.tagName = tag;
    this.attributes = {};
    this.props = new Map();
    this.style = { setProperty: (k, v) => this.props.set(k, v) };
    this.className = '';
    this.dataset = {};
    const classes = () => new Set(this.className.split(' ').filter(Boolean));
    const write = (set) => {
      this.className = [...set].join(' ');
    };
    this.classList = {
      contains: (c) => classes().has(c),
      add: (c) => write(classes().add(c)),
      remove: (c) => {
        const set = classes();
        set.delete(c);
        write(set);
      },
      toggle: (c, on) => {
        const set = classes();
        if (on ?? !set.has(c)) set.add(c);
        else set.delete(c);
        write(set);
      },
    };
    this.scrollTop = 0;
    this.scrollHeight = 0;
    this.clientHeight = 0;
  }
  set textContent(text) {
    this.childNodes = [new Text(this.ownerDocument, text)];
  }
  get textContent() {
    return super.textContent;
  }
  append(...nodes) {
    for (const n of nodes) this.appendChild(n);
  }
  setAttribute(k, v) {
    this.attributes[k] = String(v);
  }
  getAttribute(k) {
    return this.attributes[k] ?? null;
  }
  get childElementCount() {
    return this.childNodes.filter((c) => c instanceof Element).length;
  }
  get firstElementChild() {
    return this.childNodes.find((c) => c instanceof Element) ?? null;
  }
  cloneNode() {
    const copy = new Element(this.ownerDocument, this.tagName);
    copy.attributes = { ...this.attributes };
    for (const c of this.childNodes) copy.appendChild(c instanceof Element ? c.cloneNode(true) : new Text(copy.ownerDocument, c.data));
    return copy;
  }
  // Every element below, this one included.
  all() {
    return [this, ...this.childNodes.filter((c) => c instanceof Element).flatMap((c) => c.all())];
  }
}
export class Document {
  constructor() {
    this.byId = new Map();
    this.body = new Element(this, 'body');
    this.location = { href: 'http://host:7773/' };
  }
  // The page's elements by id, made on first use.
  getElementById(id) {
    if (!this.byId.has(id)) this.byId.set(id, new Element(this, 'div'));
    return this.byId.get(id);
  }
  createElement(tag) {
    return new Element(this, tag);
  }
  createElementNS(ns, tag) {
    return new Element(this, tag);
  }
  createTextNode(text) {
    return new Text(this, text);
  }
}

