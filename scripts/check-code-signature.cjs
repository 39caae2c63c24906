// Checks the code signatures of a Mach-O file (thin or universal) made on a machine without
// Apple's codesign: for each slice, finds the signature load command, reads its code directory,
// and recomputes the hash of every page up to the signature. The special slots (the hashes of
// the requirements and entitlements blobs) are not checked: a linker's ad-hoc signature has
// none that matter, and codesign --verify on a Mac checks them. Apple silicon Macs refuse to run an arm64
// binary whose signature is missing or does not match its bytes; an ad-hoc signature (no
// certificate) is what a linker gives and what those Macs accept for a downloaded tool once the
// quarantine is lifted.
//   node scripts/check-code-signature.cjs FILE [ARCH...]
// Every ARCH named (arm64, x86_64) must carry a valid ad-hoc signature; other slices are checked
// only if signed. Prints one line per slice; exits 1 on any fault.
'use strict';

const fs = require('fs');
const crypto = require('crypto');

const FAT_MAGIC = 0xcafebabe;
const MH_MAGIC_64 = 0xfeedfacf;
const LC_CODE_SIGNATURE = 0x1d;
const CSMAGIC_EMBEDDED_SIGNATURE = 0xfade0cc0;
const CSMAGIC_CODEDIRECTORY = 0xfade0c02;
const CSSLOT_CODEDIRECTORY = 0;
const CS_ADHOC = 0x2;
const HASHES = { 1: 'sha1', 2: 'sha256' };
const CPU_NAMES = { 0x01000007: 'x86_64', 0x0100000c: 'arm64' };

// The slices of the file: the whole file when thin, each architecture's range when universal.
function slicesOf(bytes) {
  if (bytes.readUInt32BE(0) !== FAT_MAGIC) {
    return [{ cpu: bytes.readUInt32LE(4), offset: 0, size: bytes.length }];
  }
  const count = bytes.readUInt32BE(4);
  return Array.from({ length: count }, (_, index) => {
    const entry = 8 + index * 20;
    return { cpu: bytes.readUInt32BE(entry), offset: bytes.readUInt32BE(entry + 8), size: bytes.readUInt32BE(entry + 12) };
  });
}

// The signature's byte range within a slice, or null when the slice is unsigned.
function signatureRange(slice) {
  if (slice.readUInt32LE(0) !== MH_MAGIC_64) throw new Error('not a 64-bit Mach-O slice');
  const commandCount = slice.readUInt32LE(16);
  let position = 32;
  for (let index = 0; index < commandCount; index++) {
    const command = slice.readUInt32LE(position);
    if (command === LC_CODE_SIGNATURE) {
      return { offset: slice.readUInt32LE(position + 8), size: slice.readUInt32LE(position + 12) };
    }
    position += slice.readUInt32LE(position + 4);
  }
  return null;
}

// Reads the code directory out of the signature's super blob (all big-endian).
function codeDirectory(signature) {
  if (signature.readUInt32BE(0) !== CSMAGIC_EMBEDDED_SIGNATURE) throw new Error('the signature is not an embedded signature blob');
  const count = signature.readUInt32BE(8);
  for (let index = 0; index < count; index++) {
    const type = signature.readUInt32BE(12 + index * 8);
    const offset = signature.readUInt32BE(16 + index * 8);
    if (type !== CSSLOT_CODEDIRECTORY) continue;
    const blob = signature.subarray(offset);
    if (blob.readUInt32BE(0) !== CSMAGIC_CODEDIRECTORY) throw new Error('slot 0 is not a code directory');
    const identifierOffset = blob.readUInt32BE(20);
    return {
      flags: blob.readUInt32BE(12),
      hashOffset: blob.readUInt32BE(16),
      identifier: blob.toString('latin1', identifierOffset, blob.indexOf(0, identifierOffset)),
      codeSlots: blob.readUInt32BE(28),
      codeLimit: blob.readUInt32BE(32),
      hashSize: blob.readUInt8(36),
      hashType: blob.readUInt8(37),
      pageSize: 2 ** blob.readUInt8(39),
      blob,
    };
  }
  throw new Error('the signature has no code directory');
}

// Checks one slice; returns a description, or throws what is wrong.
function checkSlice(slice, mustBeSigned) {
  const range = signatureRange(slice);
  if (!range) {
    if (mustBeSigned) throw new Error('not signed');
    return 'not signed';
  }
  const directory = codeDirectory(slice.subarray(range.offset, range.offset + range.size));
  const algorithm = HASHES[directory.hashType];
  if (!algorithm) throw new Error(`unknown hash type ${directory.hashType}`);
  // The hashed pages must reach exactly to the signature: less would leave bytes unchecked.
  if (directory.codeLimit !== range.offset) {
    throw new Error(`the code limit ${directory.codeLimit} is not where the signature starts (${range.offset})`);
  }
  const expectedSlots = Math.ceil(directory.codeLimit / directory.pageSize);
  if (directory.codeSlots !== expectedSlots) throw new Error(`${directory.codeSlots} page hashes for ${expectedSlots} pages`);
  for (let page = 0; page < directory.codeSlots; page++) {
    const start = page * directory.pageSize;
    const end = Math.min(start + directory.pageSize, directory.codeLimit);
    const actual = crypto.createHash(algorithm).update(slice.subarray(start, end)).digest();
    const hashStart = directory.hashOffset + page * directory.hashSize;
    const recorded = directory.blob.subarray(hashStart, hashStart + directory.hashSize);
    if (!actual.equals(recorded)) throw new Error(`page ${page} (bytes ${start}-${end}) does not match its hash`);
  }
  if (!(directory.flags & CS_ADHOC)) throw new Error('signed, but not ad hoc');
  return `ad-hoc signature valid: ${directory.codeSlots} pages of ${directory.pageSize} bytes, ${algorithm}, identifier ${directory.identifier}`;
}

function main([file, ...required]) {
  if (!file) {
    console.error('usage: node scripts/check-code-signature.cjs FILE [ARCH...]');
    return 2;
  }
  const bytes = fs.readFileSync(file);
  const slices = slicesOf(bytes);
  let faults = 0;
  const seen = new Set();
  for (const { cpu, offset, size } of slices) {
    const name = CPU_NAMES[cpu] || `cpu ${cpu.toString(16)}`;
    seen.add(name);
    try {
      console.log(`${name}: ${checkSlice(bytes.subarray(offset, offset + size), required.includes(name))}`);
    } catch (error) {
      console.log(`${name}: ${error.message}`);
      faults++;
    }
  }
  for (const name of required.filter((arch) => !seen.has(arch))) {
    console.log(`${name}: no such slice in ${file}`);
    faults++;
  }
  return faults === 0 ? 0 : 1;
}

process.exitCode = main(process.argv.slice(2));
