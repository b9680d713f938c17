// One small popup menu for the page: the shouts, the smilies, the options
// and the host's menu of a seat. It opens beside the button that asked for
// it, takes the arrow keys, Enter and Escape, and closes on any click
// outside it.

export class Popup {
  constructor(document, element) {
    this.document = document;
    this.el = element;
    this.anchor = null;
    document.addEventListener('pointerdown', (e) => {
      if (!this.el.hidden && !this.el.contains(e.target) && e.target !== this.anchor && !this.anchor?.contains(e.target))
        this.close(false);
    });
    this.el.addEventListener('keydown', (e) => this.key(e));
    document.addEventListener('keydown', (e) => {
      if (e.key === 'Escape' && this.isOpen) this.close(true);
    });
  }

  get isOpen() {
    return !this.el.hidden;
  }

  // items: { label, action, disabled, checked, picture } or 'separator'.
  open(anchor, items, { label = '', className = '' } = {}) {
    const doc = this.document;
    if (this.isOpen) {
      const same = this.anchor === anchor;
      this.close(false);
      if (same) return;
    }
    this.anchor = anchor;
    this.el.className = `popup ${className}`.trim();
    this.el.setAttribute('aria-label', label);
    while (this.el.firstChild) this.el.removeChild(this.el.firstChild);
    for (const item of items) {
      if (item === 'separator') {
        const hr = doc.createElement('div');
        hr.className = 'separator';
        hr.setAttribute('role', 'separator');
        this.el.appendChild(hr);
        continue;
      }
      const b = doc.createElement('button');
      b.type = 'button';
      b.className = 'item';
      b.tabIndex = -1;
      b.disabled = Boolean(item.disabled);
      if (item.checked !== undefined) {
        b.setAttribute('role', 'menuitemcheckbox');
        b.setAttribute('aria-checked', item.checked ? 'true' : 'false');
      } else {
        b.setAttribute('role', 'menuitem');
      }
      if (item.picture) b.appendChild(item.picture);
      const text = doc.createElement('span');
      text.textContent = item.label;
      b.appendChild(text);
      if (item.title) b.title = item.title;
      b.addEventListener('click', () => {
        this.close(true);
        item.action?.();
      });
      this.el.appendChild(b);
    }
    anchor.setAttribute('aria-expanded', 'true');
    this.el.hidden = false;
    this.place(anchor);
    this.items()[0]?.focus();
  }

  place(anchor) {
    const view = this.document.defaultView;
    const a = anchor.getBoundingClientRect();
    const m = this.el.getBoundingClientRect();
    const width = view.innerWidth;
    const height = view.innerHeight;
    let left = Math.min(a.left, width - m.width - 6);
    let top = a.bottom + 4;
    if (top + m.height > height - 6 && a.top - m.height - 4 > 6) top = a.top - m.height - 4;
    top = Math.max(6, Math.min(top, height - m.height - 6));
    left = Math.max(6, left);
    this.el.style.left = `${left}px`;
    this.el.style.top = `${top}px`;
  }

  items() {
    return [...this.el.querySelectorAll('button.item:not(:disabled)')];
  }

  key(e) {
    const items = this.items();
    const at = items.indexOf(this.document.activeElement);
    if (e.key === 'ArrowDown' || e.key === 'ArrowRight') items[(at + 1) % items.length]?.focus();
    else if (e.key === 'ArrowUp' || e.key === 'ArrowLeft') items[(at - 1 + items.length) % items.length]?.focus();
    else if (e.key === 'Home') items[0]?.focus();
    else if (e.key === 'End') items[items.length - 1]?.focus();
    else if (e.key === 'Escape') this.close(true);
    else if (e.key === 'Tab') this.close(false);
    else return;
    e.preventDefault();
  }

  // Closes; refocus gives the keyboard back to the button that opened it.
  close(refocus) {
    if (this.el.hidden) return;
    this.el.hidden = true;
    const anchor = this.anchor;
    anchor?.setAttribute('aria-expanded', 'false');
    if (refocus && anchor?.isConnected) anchor.focus();
  }
}
