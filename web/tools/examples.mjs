// Writes examples.json for the page's Examples menu: every puzzle under
// examples/ and examples/guide/, as base64 of its bytes (GBK files stay GBK).
// Usage: node examples.mjs REPOSITORY OUTPUT
import { readdirSync, readFileSync, writeFileSync } from 'node:fs';
import { join } from 'node:path';

const [root, target] = process.argv.slice(2);
const groups = [['Examples', 'examples'], ['Language guide', 'examples/guide']];
const examples = [];
for (const [group, dir] of groups) {
  for (const name of readdirSync(join(root, dir)).filter((n) => n.endsWith('.tvk')).sort()) {
    examples.push({ group, name, data: readFileSync(join(root, dir, name)).toString('base64') });
  }
}
writeFileSync(target, JSON.stringify(examples));
