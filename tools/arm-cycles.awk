# Counts the instructions of a qemu-arm execution trace and estimates the
# cycles they take on an ARM920T, from this model:
#   - 1 cycle per instruction, executed or not (a failed condition too);
#   - mul/mla 2 cycles, the long multiplies (smull, umull, smlal, umlal) 4;
#   - an n-register ldm/stm (push/pop) n cycles;
#   - 2 more for every taken branch: b, bl, bx, and any write to pc, seen
#     from the next traced address;
#   - 1 more when an instruction reads the register the load just before it
#     loaded (for ldm/pop, its last register).
# Memory stalls (cache misses, the write buffer) are not in it.
#   qemu-arm -singlestep -d exec,nochain ... 2>&1 |
#       awk -v listing=FILE -f arm-cycles.awk       -> "instructions cycles"
# FILE: `objdump -d --no-show-raw-insn` of the traced program.
BEGIN {
    while ((getline line < listing) > 0) {
        if (line !~ /^ *[0-9a-f]+:\t/)
            continue
        split(line, field, "\t")
        address = field[1]
        gsub(/[ :]/, "", address)
        operands = field[3]
        sub(/[;@].*/, "", operands)
        mnemonic[address] = field[2]
        operand[address] = operands
    }
    condition = "(eq|ne|cs|cc|hs|lo|mi|pl|vs|vc|hi|ls|ge|lt|gt|le|al)?"
}

function hex(text,    value, i) {
    value = 0
    for (i = 1; i <= length(text); ++i)
        value = value * 16 + index("0123456789abcdef", substr(text, i, 1)) - 1
    return value
}

function registers(list) {   # registers named in "{r4, r5, lr}"
    sub(/^[^{]*\{/, "", list)
    sub(/\}.*$/, "", list)
    return split(list, unused, ",")
}

function last_register(list,    names, n) {
    sub(/^[^{]*\{/, "", list)
    sub(/\}.*$/, "", list)
    n = split(list, names, ", *")
    return names[n]
}

# Whether the instruction reads register r: any operand of a store,
# compare or branch; any operand after the first (the destination) of the
# others.
function reads(m, ops, r,    sources) {
    sources = ops
    if (m !~ /^(str|stm|push|cmp|cmn|tst|teq)/ && m !~ ("^b(l|x)?" condition "$"))
        sub(/^[^,]*,/, "", sources)
    return sources ~ ("(^|[^a-z0-9])" r "([^a-z0-9]|$)")
}

/^Trace/ {
    pc = $4
    sub(/^\[[0-9a-f]+\//, "", pc)
    sub(/\/.*/, "", pc)
    sub(/^0+/, "", pc)
    if (previous != "") {
        # The previous instruction's branch and load-use costs depend on
        # this one.
        if (branch && hex(pc) != hex(previous) + 4)
            cycles += 2
        if (loaded != "" && reads(mnemonic[pc], operand[pc], loaded))
            cycles += 1
    }
    ++count
    m = mnemonic[pc]
    ops = operand[pc]
    cost = 1
    if (m ~ /^(smull|umull|smlal|umlal)/)
        cost = 4
    else if (m ~ /^(mul|mla)/)
        cost = 2
    else if (m ~ /^(ldm|stm|push|pop)/)
        cost = registers(ops)
    cycles += cost
    branch = m ~ ("^b(l|x)?" condition "$") || ops ~ /^pc,/ || (m ~ /^(ldm|pop)/ && ops ~ /pc/)
    loaded = ""
    if (m ~ /^ldr/)
        loaded = ops
    else if (m ~ /^(ldm|pop)/)
        loaded = last_register(ops)
    if (m ~ /^ldr/)
        sub(/,.*/, "", loaded)
    previous = pc
}

END { print count + 0, cycles + 0 }
