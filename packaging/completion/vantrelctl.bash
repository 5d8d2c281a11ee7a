# bash completion for vantrelctl                                  -*- shell-script -*-
# SPDX-License-Identifier: MIT
# Installed as share/bash-completion/completions/vantrelctl. The command list is checked against
# vantrelctl's command table by its tests (tests/ctl/tst_shellfacing.cpp).

_vantrelctl()
{
    local cur prev words cword split
    _init_completion -s || return

    local commands="identify text clear pattern pixel line rect fill reverse circle contrast
        backlight lcd mode rotate flip save load animate stop touch calibrate restore-calibration
        baud picture convert render listen raw script ports help"
    local options="-p --port -b --baud --rate --no-detect -n --dry-run --format --mirror --force
        -v --verbose -h --help -V --version"
    local rates="2400 4800 9600 14400 19200 28800 38400 57600 115200"

    case $prev in
        -p | --port)
            if [[ $cur == */* ]]; then
                _filedir
            else
                local devices
                devices=$(compgen -G '/dev/tty[UA][SC][BM]*'; compgen -G '/dev/serial/by-id/*')
                COMPREPLY=($(compgen -W "$(echo {1..16}) $devices" -- "$cur"))
            fi
            return
            ;;
        -b | --baud | --rate)
            COMPREPLY=($(compgen -W "$rates" -- "$cur"))
            return
            ;;
        --format)
            COMPREPLY=($(compgen -W "hex c" -- "$cur"))
            return
            ;;
        --mirror)
            _filedir
            return
            ;;
    esac
    $split && return

    # The command the cursor is in: the first word that is no option, or the first after "--".
    local i command="" first=1 arguments=0
    for ((i = 1; i < cword; i++)); do
        if [[ -z $command ]]; then
            case ${words[i]} in
                -p | --port | -b | --baud | --rate | --format | --mirror) ((i++)) ;;
                -*) ;;
                *) command=${words[i]} arguments=0 ;;
            esac
        elif [[ ${words[i]} == -- ]]; then
            command="" first=0
        else
            ((arguments++))
        fi
    done

    if [[ -z $command ]]; then
        if ((first)) && [[ $cur == -* ]]; then
            COMPREPLY=($(compgen -W "$options" -- "$cur"))
        else
            COMPREPLY=($(compgen -W "$commands" -- "$cur"))
        fi
        return
    fi

    local flags=""
    case $command in
        picture | convert)
            case $prev in
                --dither) COMPREPLY=($(compgen -W "floyd atkinson bayer4 bayer8" -- "$cur")); return ;;
                --threshold) return ;;
            esac
            flags="--fit --fill --stretch --original --threshold --dither --invert"
            if [[ $cur != -?* ]]; then
                [[ $cur == "" || $cur == - ]] && COMPREPLY=(-)
                _filedir
                return
            fi
            ;;
        script)
            if ((arguments == 0)); then
                [[ $cur == "" || $cur == - ]] && COMPREPLY=(-)
                _filedir
                return
            fi
            ;;
        text)
            [[ $prev == --font ]] && { COMPREPLY=($(compgen -W "1 2 3 4" -- "$cur")); return; }
            [[ $prev == --at ]] && return
            flags="--font --at --string"
            ;;
        line | rect | fill | circle) flags="--clear" ;;
        save) flags="--replace-font" ;;
        listen)
            [[ $prev == --seconds ]] && return
            flags="--seconds"
            ;;
        backlight | lcd) ((arguments == 0)) && flags="on off" ;;
        rotate) ((arguments == 0)) && flags="0 180" ;;
        touch) ((arguments == 0)) && flags="off coordinates keypad keypad-flip" ;;
        baud) ((arguments == 0)) && flags=$rates ;;
        help) ((arguments == 0)) && flags=$commands ;;
    esac
    # "--" starts the next command; offered only to a word begun with "-", never on its own.
    [[ $cur == -* ]] && flags+=" --"
    COMPREPLY=($(compgen -W "$flags" -- "$cur"))
} &&
    complete -F _vantrelctl vantrelctl

# ex: filetype=sh
