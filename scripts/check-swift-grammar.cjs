// Parses Swift files with the grammar of the npm package tree-sitter-swift and prints every
// ERROR and MISSING node the parser had to make, as FILE:LINE:COLUMN. Exits 1 when there is one.
//   node scripts/check-swift-grammar.cjs FILE...
const fs = require("node:fs");
const Parser = require("tree-sitter");
const Swift = require("tree-sitter-swift");

const parser = new Parser();
parser.setLanguage(Swift);

function problemsIn(tree) {
  const problems = [];
  const cursor = tree.walk();
  for (;;) {
    const node = cursor.currentNode;
    if (node.type === "ERROR" || node.isMissing) problems.push(node);
    // Only a subtree with an error holds one; the others are passed over whole.
    if (node.hasError && cursor.gotoFirstChild()) continue;
    while (!cursor.gotoNextSibling()) {
      if (!cursor.gotoParent()) return problems;
    }
  }
}

let failed = 0;
for (const file of process.argv.slice(2)) {
  const text = fs.readFileSync(file, "utf8");
  const tree = parser.parse(text);
  const problems = problemsIn(tree);
  const lines = text.split("\n").length - 1;
  // A parse that stopped short would hide the rest of the file.
  if (tree.rootNode.endPosition.row < lines - 1) {
    console.error(`${file}: parsed to line ${tree.rootNode.endPosition.row + 1} of ${lines}`);
    failed += 1;
  }
  for (const node of problems.slice(0, 20)) {
    const { row, column } = node.startPosition;
    const what = node.isMissing ? `MISSING ${node.type}` : "ERROR";
    console.error(`${file}:${row + 1}:${column + 1}: ${what}: ${text.split("\n")[row].trim()}`);
  }
  if (problems.length > 0) failed += 1;
  console.log(`${file}: ${lines} lines, ${problems.length} error nodes`);
}
process.exit(failed > 0 ? 1 : 0);
