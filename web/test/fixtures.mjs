// The cases the core writes for the page's rules (zarvex-webfixtures DIR).
// CTest runs the generator first and names its folder in
// ZARVEX_WEB_FIXTURES; run by hand without it, these tests skip and say so.

import { readFileSync } from 'node:fs';
import { join } from 'node:path';

export const folder = process.env.ZARVEX_WEB_FIXTURES ?? null;
export const skipReason = folder
  ? false
  : 'ZARVEX_WEB_FIXTURES is not set: build zarvex-webfixtures and run it, or run the tests through ctest';

export function fixture(name) {
  return JSON.parse(readFileSync(join(folder, name), 'utf8'));
}
