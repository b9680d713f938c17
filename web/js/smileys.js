// The 18 smiley pictures of the chat, drawn as SVG by the same rules the
// desktop window paints them with: a 17 x 16 picture, smiley n (10 to 27)
// showing picture n - 10.
//  0 smile      1 wink      2 grin        3 sad       4 tongue    5 surprise
//  6 cool       7 angry     8 cry         9 laugh    10 love     11 kiss
// 12 unsure    13 sleepy   14 blush      15 devil    16 angel    17 sick

export const WIDTH = 17;
export const HEIGHT = 16;
export const NAMES = [
  'smile', 'wink', 'grin', 'sad', 'tongue', 'surprise', 'cool', 'angry', 'cry', 'laugh', 'love', 'kiss', 'unsure',
  'sleepy', 'blush', 'devil', 'angel', 'sick',
];

const YELLOW = 'rgb(255,214,40)';
const OUTLINE = 'rgb(120,70,0)';
const INK = 'rgb(60,30,0)';
const TONGUE = 'rgb(230,60,80)';
const TEAR = 'rgb(60,140,255)';
const MOUTH = 'rgb(110,20,20)';

const n2 = (v) => Math.round(v * 100) / 100;

// Collects the shapes of one picture as [tag, attributes] pairs.
class Face {
  constructor() {
    this.shapes = [];
  }

  add(tag, attrs) {
    this.shapes.push([tag, attrs]);
  }

  head(fill, cx = 8.5, cy = 8.2, r = 7.3) {
    this.add('circle', { cx, cy, r, fill, stroke: OUTLINE, 'stroke-width': 0.9 });
  }

  dot(x, y, r = 1.05, c = INK) {
    this.add('ellipse', { cx: x, cy: y, rx: n2(r), ry: n2(r * 1.25), fill: c });
  }

  eyes() {
    this.dot(6.0, 6.3);
    this.dot(11.0, 6.3);
  }

  // An arc through three points: a smile when the middle is lower.
  curve(a, mid, b, width = 1.0, c = INK) {
    const cx = n2(2 * mid[0] - (a[0] + b[0]) / 2);
    const cy = n2(2 * mid[1] - (a[1] + b[1]) / 2);
    this.add('path', {
      d: `M${a[0]} ${a[1]}Q${cx} ${cy} ${b[0]} ${b[1]}`,
      fill: 'none', stroke: c, 'stroke-width': width, 'stroke-linecap': 'round',
    });
  }

  smile() {
    this.curve([4.8, 9.8], [8.5, 12.6], [12.2, 9.8]);
  }

  frown() {
    this.curve([5.3, 12.4], [8.5, 10.2], [11.7, 12.4]);
  }

  line(a, b, width = 1.0, c = INK) {
    this.add('line', { x1: a[0], y1: a[1], x2: b[0], y2: b[1], stroke: c, 'stroke-width': width, 'stroke-linecap': 'round' });
  }

  fill(d, c, edge = null) {
    const attrs = { d, fill: c };
    if (edge) Object.assign(attrs, { stroke: edge, 'stroke-width': 0.6 });
    this.add('path', attrs);
  }

  openMouth(top, depth) {
    this.fill(`M4.6 ${top}Q8.5 ${n2(top + 2 * depth)} 12.4 ${top}Z`, MOUTH, INK);
  }

  heart(x, y, s, c) {
    const p = (v) => n2(v);
    this.fill(
      `M${p(x)} ${p(y + s * 0.9)}C${p(x - s * 1.3)} ${p(y)} ${p(x - s * 0.6)} ${p(y - s * 0.9)} ${p(x)} ${p(y - s * 0.25)}` +
        `C${p(x + s * 0.6)} ${p(y - s * 0.9)} ${p(x + s * 1.3)} ${p(y)} ${p(x)} ${p(y + s * 0.9)}Z`,
      c,
    );
  }
}

function draw(f, n) {
  switch (n) {
    case 0:
      f.head(YELLOW); f.eyes(); f.smile();
      break;
    case 1:
      f.head(YELLOW); f.dot(6.0, 6.3);
      f.curve([9.6, 6.6], [11.0, 5.4], [12.4, 6.6]);
      f.curve([4.8, 9.8], [8.5, 12.4], [12.2, 9.0]);
      break;
    case 2:
      f.head(YELLOW); f.eyes();
      f.openMouth(9.4, 2.4);
      f.fill('M5.2 9.4L11.8 9.4L11.2 10.5L5.8 10.5Z', 'white');
      break;
    case 3:
      f.head(YELLOW); f.eyes(); f.frown();
      break;
    case 4:
      f.head(YELLOW); f.eyes();
      f.fill('M7 10.4C7 14.2 11 14.2 11 10.4', TONGUE, 'rgb(150,20,40)');
      f.line([4.8, 10.4], [12.2, 10.4]);
      break;
    case 5:
      f.head(YELLOW); f.dot(6.0, 5.8, 1.3); f.dot(11.0, 5.8, 1.3);
      f.dot(8.5, 11.0, 1.7, MOUTH);
      break;
    case 6:
      f.head(YELLOW);
      f.line([2.2, 6.0], [14.8, 6.0], 0.9);
      f.add('rect', { x: 3.3, y: 5.3, width: 4.6, height: 3.0, rx: 1.2, fill: 'black' });
      f.add('rect', { x: 9.1, y: 5.3, width: 4.6, height: 3.0, rx: 1.2, fill: 'black' });
      f.curve([5.6, 10.6], [8.5, 12.4], [11.4, 10.6]);
      break;
    case 7:
      f.head('rgb(240,90,40)'); f.eyes();
      f.line([4.2, 3.9], [7.4, 5.2], 1.1); f.line([12.8, 3.9], [9.6, 5.2], 1.1);
      f.frown();
      break;
    case 8:
      f.head(YELLOW); f.eyes(); f.frown();
      for (const x of [5.0, 12.0]) f.fill(`M${x} 7.6C${n2(x - 1.6)} 10.6 ${n2(x + 1.6)} 10.6 ${x} 7.6Z`, TEAR);
      break;
    case 9:
      f.head(YELLOW);
      f.curve([4.6, 6.8], [6.0, 4.8], [7.4, 6.8]); f.curve([9.6, 6.8], [11.0, 4.8], [12.4, 6.8]);
      f.openMouth(8.8, 3.0);
      break;
    case 10:
      f.head(YELLOW);
      f.heart(5.8, 6.3, 2.0, 'rgb(220,20,40)'); f.heart(11.2, 6.3, 2.0, 'rgb(220,20,40)');
      f.smile();
      break;
    case 11:
      f.head(YELLOW); f.eyes();
      f.dot(8.0, 11.2, 1.4, 'rgb(200,20,40)');
      f.heart(13.8, 11.8, 1.5, 'rgb(230,30,60)');
      break;
    case 12:
      f.head(YELLOW); f.eyes();
      f.line([9.6, 3.8], [12.4, 4.3]);
      f.curve([5.0, 11.4], [7.0, 10.0], [8.5, 11.2]); f.curve([8.5, 11.2], [10.2, 12.4], [12.0, 10.8]);
      break;
    case 13:
      f.head(YELLOW);
      f.line([4.8, 6.8], [7.2, 6.8]); f.line([9.8, 6.8], [12.2, 6.8]);
      f.dot(8.5, 11.2, 0.9);
      f.line([12.4, 0.9], [15.6, 0.9], 0.9, TEAR); f.line([15.6, 0.9], [12.4, 3.6], 0.9, TEAR);
      f.line([12.4, 3.6], [15.6, 3.6], 0.9, TEAR);
      break;
    case 14:
      f.head(YELLOW); f.eyes();
      f.dot(4.3, 9.2, 1.4, 'rgb(255,120,130)'); f.dot(12.7, 9.2, 1.4, 'rgb(255,120,130)');
      f.curve([6.0, 10.4], [8.5, 12.0], [11.0, 10.4]);
      break;
    case 15:
      f.fill('M2.8 5L2.2 0.4L6 2.4ZM14.2 5L14.8 0.4L11 2.4Z', 'rgb(150,0,20)');
      f.head('rgb(170,80,220)', 8.5, 8.8, 6.9);
      f.line([4.6, 5.4], [7.2, 6.4]); f.line([12.4, 5.4], [9.8, 6.4]);
      f.dot(6.2, 7.8); f.dot(10.8, 7.8);
      f.curve([4.8, 10.6], [8.5, 13.6], [12.2, 10.6]);
      break;
    case 16:
      f.head(YELLOW, 8.5, 9.4, 6.3);
      f.add('ellipse', { cx: 8.5, cy: 1.7, rx: 5.0, ry: 1.4, fill: 'none', stroke: 'rgb(255,235,120)', 'stroke-width': 1.2 });
      f.dot(6.4, 8.0); f.dot(10.6, 8.0);
      f.curve([5.6, 11.0], [8.5, 13.2], [11.4, 11.0]);
      break;
    default:
      f.head('rgb(150,210,90)');
      f.line([5.0, 5.3], [7.0, 7.3]); f.line([7.0, 5.3], [5.0, 7.3]);
      f.line([10.0, 5.3], [12.0, 7.3]); f.line([12.0, 5.3], [10.0, 7.3]);
      f.curve([4.8, 11.2], [6.6, 9.8], [8.5, 11.2]); f.curve([8.5, 11.2], [10.4, 12.6], [12.2, 11.2]);
      break;
  }
}

// The shapes of picture n (0 to 17; anything else draws picture 0).
export function shapes(n) {
  const f = new Face();
  draw(f, Number.isInteger(n) && n >= 0 && n < NAMES.length ? n : 0);
  return f.shapes;
}

const SVG = 'http://www.w3.org/2000/svg';
const made = new Map();

// Picture n as an <svg> element of the document; each call answers a copy.
export function smiley(document, n) {
  const picture = Number.isInteger(n) && n >= 0 && n < NAMES.length ? n : 0;
  if (!made.has(picture)) {
    const svg = document.createElementNS(SVG, 'svg');
    svg.setAttribute('viewBox', `0 0 ${WIDTH} ${HEIGHT}`);
    svg.setAttribute('class', 'smiley');
    svg.setAttribute('role', 'img');
    svg.setAttribute('aria-label', NAMES[picture]);
    for (const [tag, attrs] of shapes(picture)) {
      const el = document.createElementNS(SVG, tag);
      for (const [k, v] of Object.entries(attrs)) el.setAttribute(k, String(v));
      svg.appendChild(el);
    }
    made.set(picture, svg);
  }
  return made.get(picture).cloneNode(true);
}
